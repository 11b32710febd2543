// The thumbnail queue and its worker thread.
#include "navigator/NavigatorWnd.h"

// No thumbnails are made yet: entries show their placeholders.
void NavigatorWnd::StartThumbnailWorker() {}
void NavigatorWnd::QueueThumbnails() {}
void NavigatorWnd::ResetThumbnails() {}
bool NavigatorWnd::DrawThumbnailImage(HDC, int) { return false; }
