// The tray icon for quick configuration.
#include "navigator/NavigatorWnd.h"

// No tray icon is shown yet.
void NavigatorWnd::AddTrayIcon() {}
void NavigatorWnd::RemoveTrayIcon() {}
bool NavigatorWnd::HasTrayIcon() const { return false; }
