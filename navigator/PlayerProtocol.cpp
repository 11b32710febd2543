#include "navigator/PlayerProtocol.h"

#include "navigator/NavigatorWnd.h"
#include "navigator/TokenList.h"

namespace {

LRESULT SendToPlayer(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND player = FindPlayerWindow();
    if (!IsWindow(player)) return 0;
    return SendMessageA(player, message, wParam, lParam);
}

}  // namespace

HWND FindPlayerWindow() {
    HWND player = FindWindowA(kPlayerWindowClass, kPlayerWindowTitle);
    return player ? player : FindWindowA(nullptr, kPlayerWindowTitle);
}

LRESULT SendRequest(HWND navigator, UINT code) {
    return SendToPlayer(kRequestMessage, reinterpret_cast<WPARAM>(navigator), static_cast<LPARAM>(code));
}

void SendPlayerCommand(UINT command, int value, WPARAM extra) {
    DWORD packed = (static_cast<DWORD>(value & 0xFFFF) << 16) | (command & 0xFFFF);
    SendToPlayer(kPlayerCommandMessage, extra, static_cast<LPARAM>(packed));
}

void SendModeSwitch(WPARAM mode) { SendToPlayer(kModeSwitchMessage, mode, 0); }

namespace {

// How many bytes can be read from `p` to the end of the committed memory region that holds it.
size_t ReadableFrom(const void* p) {
    MEMORY_BASIC_INFORMATION region = {};
    if (!p || !VirtualQuery(p, &region, sizeof(region)) || region.State != MEM_COMMIT ||
        (region.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
        return 0;
    return static_cast<size_t>(static_cast<const char*>(region.BaseAddress) + region.RegionSize -
                               static_cast<const char*>(p));
}

}  // namespace

void NavigatorWnd::OnCopyData(const COPYDATASTRUCT* copy) {
    if (!copy) return;
    // The data are bounded by cbData, whatever they claim: an unterminated block ends there. A
    // player in this process may leave cbData at 0; its data are then read to their terminators,
    // but never past the memory that holds them.
    const void* data = copy->lpData;
    size_t size = copy->cbData ? copy->cbData : ReadableFrom(data);
    if (!size) data = nullptr;
    switch (copy->dwData) {
        case kCopyListChanged: OnListChanged(ParseKeyString(data, size)); break;
        case kCopyListsChanged:
        case kCopyListsChanged2: OnListsChanged(ParseKeyString(data, size)); break;
        case kCopySelectAlbum:
            if (list_.Mode() == Albums) OnSelectAlbum(ParseKeyString(data, size));
            break;
        case kCopyAlbumList: OnAlbumList(TokenList(data, size)); break;
        case kCopyListHeader:
            if (list_.Mode() == Tracks) OnListHeader(TokenList(data, size));
            break;
        case kCopyTrackList: OnTrackList(TokenList(data, size)); break;
        default: break;
    }
}
