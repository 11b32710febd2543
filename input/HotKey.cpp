// The global hot key that shows the Navigator.
#include "navigator/NavigatorWnd.h"

// No hot key is registered yet.
void NavigatorWnd::UpdateHotKey() {}
