// The lists the player sends: tracks of one album or playlist, or the albums and playlists.
#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"

void NavigatorWnd::ResetList() {
    LayoutNumbers layout = ComputeLayoutNumbers(list_.Mode(), static_cast<int>(settings_->column),
                                                static_cast<int>(settings_->textSize), settings_->showThumbnail != 0,
                                                settings_->iconView != 0);
    painter_.FixLook(*settings_);
    // A new list removes the box of a pending delete, and with it the delete.
    list_.Reset(layout);
    if (list_.Mode() == Tracks) painter_.LoadSkin(Layout(), WorkRect());
}

void NavigatorWnd::ShowList(ListMode listMode) {
    list_.SetMode(listMode);
    RECT rect = WorkRect();
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    list_.SetDisc(SendRequest(Handle(), kRequestDiscMode) != 0);
    ResetList();
    ResetThumbnails();
    SendRequest(Handle(), listMode == Tracks ? kRequestTrackList : kRequestAlbumList);
}

void NavigatorWnd::OnTrackList(const TokenList& tokens) {
    ResetList();
    ResetThumbnails();
    list_.LoadTracks(tokens);
    // Placed first, so that the pictures of the page shown are made first.
    list_.PlaceSelection(SendRequest(Handle(), kRequestCurrentTrack));
    QueueThumbnails();
    if (SendRequest(Handle(), kRequestBringUp) == 0) BringUp();
}

void NavigatorWnd::OnAlbumList(const TokenList& tokens) {
    ResetList();
    if (list_.LoadAlbums(tokens)) SendRequest(Handle(), kRequestAlbumListLoaded);
}

void NavigatorWnd::OnListHeader(const TokenList& tokens) {
    list_.LoadHeader(tokens);
    BringUp();
}

void NavigatorWnd::OnSelectAlbum(const std::string& key) {
    list_.SelectKey(key);
    BringUp();
}

void NavigatorWnd::OnListChanged(const std::string& key) {
    if (IsWindowVisible(Handle()) && list_.Mode() == Tracks && list_.IsList(key)) ShowList(Tracks);
}

void NavigatorWnd::OnListsChanged(const std::string& key) {
    if (!IsWindowVisible(Handle())) return;
    if (list_.Mode() == Albums)
        ShowList(Albums);
    else
        OnListChanged(key);
}
