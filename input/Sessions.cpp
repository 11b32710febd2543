// Console connects and disconnects of this terminal-services session: while the console is
// disconnected, application commands are left to the system.
#include "base/ProcAddress.h"
#include "navigator/NavigatorWnd.h"

namespace {

constexpr DWORD kNotifyForThisSession = 0;

// wtsapi32 is loaded on first use and kept; a race on the first call only repeats the load.
HMODULE WtsApi() {
    static HMODULE module = LoadLibraryA("wtsapi32.dll");
    return module;
}

}  // namespace

void NavigatorWnd::RegisterSessionNotification() {
    using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
    if (auto fn = GetProc<RegisterFn>(WtsApi(), "WTSRegisterSessionNotification")) fn(Handle(), kNotifyForThisSession);
}

void NavigatorWnd::UnregisterSessionNotification() {
    using UnregisterFn = BOOL(WINAPI*)(HWND);
    if (auto fn = GetProc<UnregisterFn>(WtsApi(), "WTSUnRegisterSessionNotification")) fn(Handle());
}

void NavigatorWnd::OnSessionChange(WPARAM event) {
    if (event == WTS_CONSOLE_CONNECT) consoleDisconnected = 0;
    if (event == WTS_CONSOLE_DISCONNECT) consoleDisconnected = 1;
}
