#include "base/InputHelpers.h"

#include "base/ProcAddress.h"

namespace {

bool IsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

using TrackMouseEventFn = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

}  // namespace

unsigned GetModifierKeys() {
    unsigned keys = 0;
    if (IsDown(VK_MENU)) keys |= kModifierAlt;
    if (IsDown(VK_CONTROL)) keys |= kModifierCtrl;
    if (IsDown(VK_SHIFT)) keys |= kModifierShift;
    return keys;
}

void HoverTracking(HWND window) {
    // Looked up once; a race on the first call only repeats the lookup.
    static HMODULE user32 = LoadLibraryA("user32.dll");
    static auto track = GetProc<TrackMouseEventFn>(user32, "TrackMouseEvent");
    if (!track) return;
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = window;
    request.dwHoverTime = HOVER_DEFAULT;
    track(&request);
}
