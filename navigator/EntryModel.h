// The entries of the Navigator's lists and the arithmetic on them. Pure logic: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>

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
