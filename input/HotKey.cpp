// The global hot key that shows the Navigator.
#include "input/RemoteCodes.h"
#include "navigator/NavigatorWnd.h"

namespace {
constexpr int kHotKeyId = 1;
}  // namespace

void NavigatorWnd::UpdateHotKey() {
    if (static_cast<LONG>(settings->hotKey) < 1) {
        UnregisterHotKey(Handle(), kHotKeyId);
        return;
    }
    RegisterHotKey(Handle(), kHotKeyId, HotKeyModifiers(settings->hotKey), settings->hotKey & 0xFFFF);
}

void NavigatorWnd::OnHotKey(WPARAM id) {
    if (id == kHotKeyId) ShowList(Tracks);
}
