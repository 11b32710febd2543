// The shell hook: the Media Center remote's buttons also arrive as shell-hook notifications.
#include "base/ProcAddress.h"
#include "navigator/NavigatorWnd.h"

namespace {

using ShellHookFn = BOOL(WINAPI*)(HWND);

// Looked up at each call; a missing function makes the call a no-op.
BOOL CallUser32(const char* name, HWND window) {
    auto function = GetProc<ShellHookFn>(GetModuleHandleA("user32.dll"), name);
    return function ? function(window) : 0;
}

}  // namespace

void NavigatorWnd::RegisterShellHook() { CallUser32("RegisterShellHookWindow", Handle()); }

void NavigatorWnd::DeregisterShellHook() { CallUser32("DeregisterShellHookWindow", Handle()); }
