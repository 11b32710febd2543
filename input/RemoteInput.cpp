// Raw input from the Media Center remote.
#include "navigator/NavigatorWnd.h"

// No remote devices are registered yet: the window takes the keyboard, the mouse and the player.
bool NavigatorWnd::RegisterRemoteInput() { return false; }
