#include "tools/snapshot/WindowCapture.h"

#include "base/Gdi.h"
#include "ximage/CxImage.h"

template <typename Draw>
void WindowCapture::Capture(int width, int height, Draw draw) {
    width_ = width;
    height_ = height;
    if (width_ <= 0 || height_ <= 0) return;

    BITMAPINFO info = TopDownBitmapInfo(width_, height_);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!section) {
        DeleteDC(memory);
        return;
    }
    HGDIOBJ old = SelectObject(memory, section);
    draw(memory);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
    for (uint32_t& pixel : pixels_) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
}

WindowCapture::WindowCapture(HWND window, Source source) {
    RECT client = {};
    GetClientRect(window, &client);
    Capture(client.right, client.bottom, [&](HDC memory) {
        if (source == Source::Render) {
            SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        } else {
            HDC shown = GetDC(window);
            BitBlt(memory, 0, 0, width_, height_, shown, 0, 0, SRCCOPY);
            ReleaseDC(window, shown);
        }
    });
}

WindowCapture::WindowCapture(const RECT& area) {
    Capture(area.right - area.left, area.bottom - area.top, [&](HDC memory) {
        HDC screen = GetDC(nullptr);
        BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

WindowCapture::WindowCapture(int width, int height, const std::function<void(HDC)>& paint) {
    Capture(width, height, paint);
}

COLORREF WindowCapture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
    uint32_t rgb = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool WindowCapture::SavePng(const std::string& path) const {
    if (pixels_.empty()) return false;
    CxImage image;
    if (!image.Create(width_, height_, 24)) return false;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            uint32_t rgb = pixels_[static_cast<size_t>(y) * width_ + x];
            RGBQUAD c = {static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb >> 16), 255};
            image.SetPixelColor(x, y, c);
        }
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    if (!image.Encode(buffer, size, CXIMAGE_FORMAT_PNG)) return false;
    FILE* file = fopen(path.c_str(), "wb");
    bool written = file && fwrite(buffer, 1, size, file) == static_cast<size_t>(size);
    if (file) fclose(file);
    CxImage::FreeMemory(buffer);
    return written;
}
