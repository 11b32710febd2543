// Bringing the Navigator to the front over another program's window: the foreground lock only
// lets a thread that shares the foreground thread's input take the foreground.
#include "navigator/NavigatorWnd.h"

void NavigatorWnd::ForceForeground() {
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD thisThread = GetCurrentThreadId();
    bool attached = foregroundThread != thisThread && AttachThreadInput(foregroundThread, thisThread, TRUE);
    SetForegroundWindow(Handle());
    SetFocus(Handle());
    if (attached) AttachThreadInput(foregroundThread, thisThread, FALSE);
}
