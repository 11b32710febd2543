// A stand-in player window for the benchmarks: it answers the requests that matter to them and
// leaves the Navigator down (request 19 answered 1), so that no painting is timed by accident.
#pragma once

#include <windows.h>

#include "navigator/PlayerProtocol.h"

class QuietPlayer {
public:
    explicit QuietPlayer(LRESULT currentTrack = 0) {
        currentTrack_ = currentTrack;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kPlayerWindowClass;
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, kPlayerWindowClass, kPlayerWindowTitle, 0, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    }
    ~QuietPlayer() { DestroyWindow(hwnd_); }
    QuietPlayer(const QuietPlayer&) = delete;
    QuietPlayer& operator=(const QuietPlayer&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kRequestMessage)
            return lParam == kRequestBringUp ? 1 : lParam == kRequestCurrentTrack ? currentTrack_ : 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    static inline LRESULT currentTrack_ = 0;
    HWND hwnd_;
};
