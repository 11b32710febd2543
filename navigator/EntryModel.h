// The entries of the Navigator's lists and the arithmetic on them. Pure logic: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/MediaKind.h"

enum ListMode : int32_t { Tracks = 0, Albums = 1 };

struct NavigatorEntry {
    std::string path;
    std::string qualifier;
    std::string name;
    std::string key;
    std::string detailQualifier;
    std::string detailName;
    uint32_t serial = 0;
    EntryKind kind = KindOther;
};

// The next process-wide serial: 1 first, so 0 never names a live thumbnail.
uint32_t NextEntrySerial();

class TokenList;

// The entries of a track list: path, name and qualifier by threes, a missing last token empty; each
// with a new serial, and of the kind its path says (audio in disc mode).
std::vector<NavigatorEntry> BuildTrackEntries(const TokenList& tokens, bool discMode);
// The entries of an album list: key, name and qualifier by threes; none unless the count is whole.
std::vector<NavigatorEntry> BuildAlbumEntries(const TokenList& tokens);
// The key and the title ("qualifier / name", or the name alone) of a list header of three tokens;
// false for any other count.
bool ParseListHeader(const TokenList& tokens, std::string* key, std::string* title);

// The `top` that puts `index` on screen, for a list of `count` entries laid out in `rows` rows of
// `columns` entries, `perPage` of them on a page.
int CenteredTop(int index, int count, int perPage, int rows, int columns);

// Where a move by `delta` entries (a row or a page) leads: the new top and selection, and
// whether the new selection is still on the current page (then only two cells repaint).
struct Move {
    int top;
    int selected;
    bool onPage;
    bool changed;
};
Move ComputeMoveBy(int top, int selected, int delta, int count, int columns, int perPage);
// The selection after a step left or right within its row; `selected` itself when it cannot move.
int ComputeMoveHorizontal(int selected, int delta, int count, int columns);

std::string TrimLeft(const std::string& text);
std::string Trim(const std::string& text);

// The layout numbers of one list.
struct LayoutNumbers {
    int columns;
    int rows;
    int perPage;
};

LayoutNumbers ComputeLayoutNumbers(ListMode mode, int column, int textSize, bool showThumbnail, bool iconView);
