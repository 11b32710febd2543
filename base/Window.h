// The window base of the window-class layer: one static window procedure finds the object
// (handed over at WM_NCCREATE), and every message reaches WindowProc, which a derived class
// overrides as its message map, calling typed handlers. Default processing of the message being
// handled is one call away: Default().
#pragma once

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // Registers a class whose procedure is this layer's; false only when registration fails for
    // a reason other than the class already existing.
    static bool RegisterWindowClass(WNDCLASSA wc);
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                  HWND parent, HMENU menu);
    // Destroys the window, if there is one.
    bool DestroyWindow();

    static Window* FromHandle(HWND hwnd);

protected:
    // The message map. The default sends everything to default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message now being handled.
    LRESULT Default();
    // The message now being handled, and its lParam (0 and 0 outside any).
    UINT CurrentMessage() const { return current_.message; }
    LPARAM CurrentLParam() const { return current_.lParam; }
    // Called after the last message (WM_NCDESTROY), once the handle is detached.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    HWND hwnd_ = nullptr;
    Message current_ = {};
};
