// The Media Center tray program, which would take the remote's buttons while the plug-in runs.
#include "navigator/NavigatorWnd.h"

// The tray program is left alone for now.
void NavigatorWnd::UpdateMediaCenterTray(bool) {}
