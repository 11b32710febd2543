// Holders for GDI objects and device contexts, so that every early return gives back what was
// taken: "create, select, draw, restore, delete" is one scope.
#pragma once

#include <windows.h>

// A 32-bit bitmap header with the top row first.
inline BITMAPINFO TopDownBitmapInfo(LONG width, LONG height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A window's client-area device context.
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~SolidBrush() { DeleteObject(brush_); }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;
    operator HBRUSH() const { return brush_; }

private:
    HBRUSH brush_;
};

// A font selected into a device context for one element, then restored and deleted.
class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font) : dc_(dc), font_(font), old_(SelectObject(dc, font)) {}
    ~SelectedFont() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

// A bitmap deleted at the end of the scope; null holds nothing.
class OwnedBitmap {
public:
    explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~OwnedBitmap() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    operator HBITMAP() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};
