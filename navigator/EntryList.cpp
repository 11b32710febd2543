// The lists the player sends: tracks of one album or playlist, or the albums and playlists.
#include <mbstring.h>

#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"

namespace {

// Letter case is ignored the way the ANSI code page sees it, double-byte characters included.
// An entry's path and key are zero-ended where they lie.
bool SameIgnoringCase(std::string_view a, const std::string& b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.data()),
                    reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
}

}  // namespace

int NavigatorWnd::CenteredTop(int index) const { return ::CenteredTop(index, Count(), perPage, rows, columns); }

void NavigatorWnd::ResetList() {
    // A new list removes the box of a pending delete, and with it the delete.
    CancelDelete();
    entries.clear();
    top = selected = 0;
    title.clear();
    listKey.clear();
    LayoutNumbers layout = ComputeLayoutNumbers(mode, static_cast<int>(settings->column),
                                                static_cast<int>(settings->textSize), settings->showThumbnail != 0,
                                                settings->iconView != 0);
    loaded = {settings->showThumbnail != 0, settings->iconView != 0, settings->showDetailInfo != 0, settings->textFont};
    columns = layout.columns;
    rows = layout.rows;
    perPage = layout.perPage;
    if (mode == Tracks) LoadSkin();
}

void NavigatorWnd::ShowList(ListMode listMode) {
    mode = listMode;
    RECT rect = WorkRect();
    SetWindowPos(Handle(), nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    discMode = SendRequest(Handle(), kRequestDiscMode) != 0;
    ResetList();
    ResetThumbnails();
    SendRequest(Handle(), mode == Tracks ? kRequestTrackList : kRequestAlbumList);
}

void NavigatorWnd::OnTrackList(const TokenList& tokens) {
    ResetList();
    ResetThumbnails();
    BuildTrackEntries(tokens, discMode != 0, entries);
    QueueThumbnails();

    LRESULT current = SendRequest(Handle(), kRequestCurrentTrack);
    int number = current > Count() ? Count() : static_cast<int>(current);
    selected = (number < 1 ? 1 : number) - 1;
    top = CenteredTop(selected);

    if (savedSelected >= 0) {
        selected = savedSelected > Count() - 1 ? Count() - 1 : savedSelected;
        if (selected < 0) selected = 0;
        top = savedTop > Count() - 1 ? CenteredTop(selected) : savedTop;
        if (top < 0) top = 0;
    } else if (!reselectPath.empty()) {
        for (int i = 0; i < Count(); ++i)
            if (SameIgnoringCase(entries[i].path, reselectPath)) {
                selected = i;
                top = CenteredTop(selected);
                break;
            }
    }
    reselectPath.clear();
    savedSelected = savedTop = -1;

    if (SendRequest(Handle(), kRequestBringUp) == 0) BringUp();
}

void NavigatorWnd::OnAlbumList(const TokenList& tokens) {
    ResetList();
    if (tokens.Count() % 3 != 0) return;
    BuildAlbumEntries(tokens, entries);
    SendRequest(Handle(), kRequestAlbumListLoaded);
}

void NavigatorWnd::OnListHeader(const TokenList& tokens) {
    if (mode != Tracks) return;
    ParseListHeader(tokens, &listKey, &title);
    BringUp();
}

void NavigatorWnd::OnSelectAlbum(const std::string& key) {
    if (mode != Albums) return;
    for (int i = 0; i < Count(); ++i)
        if (SameIgnoringCase(entries[i].key, key)) {
            selected = i;
            top = CenteredTop(selected);
            break;
        }
    BringUp();
}

void NavigatorWnd::OnListChanged(const std::string& key) {
    if (IsWindowVisible(Handle()) && mode == Tracks && SameIgnoringCase(listKey, key)) ShowList(Tracks);
}

void NavigatorWnd::OnListsChanged(const std::string& key) {
    if (!IsWindowVisible(Handle())) return;
    if (mode == Albums)
        ShowList(Albums);
    else
        OnListChanged(key);
}
