#include "base/Window.h"

#include "base/ModuleState.h"

namespace {
constexpr char kObjectProperty[] = "Rembrix.Window";
}  // namespace

Window::~Window() { DestroyWindow(); }

bool Window::RegisterWindowClass(WNDCLASSA wc) {
    wc.lpfnWndProc = StaticWindowProc;
    if (RegisterClassA(&wc)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                      HWND parent, HMENU menu) {
    if (Exists()) return false;
    HWND hwnd = CreateWindowExA(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, menu, ThisModuleState().instance, this);
    return hwnd != nullptr;
}

bool Window::DestroyWindow() {
    if (!hwnd_) return false;
    return ::DestroyWindow(hwnd_) != FALSE;
}

Window* Window::FromHandle(HWND hwnd) { return static_cast<Window*>(GetPropA(hwnd, kObjectProperty)); }

LRESULT Window::WindowProc(UINT, WPARAM, LPARAM) { return Default(); }

LRESULT Window::Default() { return DefWindowProcA(hwnd_, current_.message, current_.wParam, current_.lParam); }

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (!window && message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window) {
            window->hwnd_ = hwnd;
            SetPropA(hwnd, kObjectProperty, window);
        }
    }
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);

    // Messages come from the host's loop: resources and maps are this module's while they run. A
    // deletion of the object asked for meanwhile waits for this scope to end, after the last use.
    ModuleStateScope moduleState;
    // Handlers may send messages that come back here; each level keeps its own message.
    Message saved = window->current_;
    window->current_ = {message, wParam, lParam};
    LRESULT result;
    try {
        result = window->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception unwinds through the system's code (on 32-bit it cannot): the message is
        // treated as one not handled, which also validates a paint.
        result = DefWindowProcA(hwnd, message, wParam, lParam);
    }
    window->current_ = saved;

    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kObjectProperty);
        window->hwnd_ = nullptr;
        window->PostNcDestroy();
    }
    return result;
}
