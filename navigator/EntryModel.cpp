#include "navigator/EntryModel.h"

#include "navigator/TokenList.h"

#include <atomic>

uint32_t NextEntrySerial() {
    static std::atomic<uint32_t> counter{0};
    return ++counter;
}

int CenteredTop(int index, int count, int perPage, int rows, int columns) {
    if (index < perPage) return 0;
    if (columns < 1) columns = 1;
    int row = index / columns;
    int lastRow = count / columns;
    int top = rows + row > lastRow ? (lastRow - rows + 1) * columns : (row - rows / 2) * columns;
    return top < 0 ? 0 : top;
}

Move ComputeMoveBy(int top, int selected, int delta, int count, int columns, int perPage) {
    if (columns < 1) columns = 1;
    int t = ((top + delta) / columns) * columns;
    if (t > count - 1) t = count - 1;
    t = (t / columns) * columns;
    if (t < 0) t = 0;
    int s = selected + delta;
    if (s > count - 1) s = count - 1;
    if (s < 0) s = 0;
    Move move = {t, s, false, !(t == top && s == selected)};
    int d = s - top;
    move.onPage = d >= 0 && d < perPage;
    return move;
}

int ComputeMoveHorizontal(int selected, int delta, int count, int columns) {
    if (columns < 1) columns = 1;
    int c = selected % columns;
    if ((c == 0 && delta < 0) || (c == columns - 1 && delta > 0)) return selected;
    int n = selected + delta;
    if (n > count - 1) n = count - 1;
    return n < 0 ? 0 : n;
}

std::string TrimLeft(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Trim(const std::string& text) {
    std::string left = TrimLeft(text);
    size_t last = left.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : left.substr(0, last + 1);
}

LayoutNumbers ComputeLayoutNumbers(ListMode mode, int column, int textSize, bool showThumbnail, bool iconView) {
    static const int kPerPage[] = {36, 30, 24, 18, 12};
    static const int kRows[] = {10, 8, 6, 4, 3};
    if (textSize < 0 || textSize > 4) textSize = 2;

    // Beyond this a cell is narrower than a pixel even on a screen 4,096 pixels wide; a count
    // typed larger would only overflow rows x columns.
    constexpr int kMaxColumns = 4096;
    LayoutNumbers layout;
    layout.columns = column < 1 ? 1 : column > kMaxColumns ? kMaxColumns : column;
    int perPage = kPerPage[textSize];
    if (mode == Albums || !showThumbnail) {
        layout.columns = 1;
        layout.rows = layout.perPage = perPage;
    } else if (iconView) {
        layout.rows = kRows[textSize];
        layout.perPage = layout.rows * layout.columns;
    } else {
        layout.columns = 1;
        layout.rows = layout.perPage = perPage / 2;
    }
    return layout;
}

std::vector<NavigatorEntry> BuildTrackEntries(const TokenList& tokens, bool discMode) {
    std::vector<NavigatorEntry> entries;
    entries.reserve((tokens.Count() + 2) / 3);
    for (size_t i = 0; i < tokens.Count(); i += 3) {
        NavigatorEntry entry;
        entry.path = tokens[i];
        entry.name = tokens[i + 1];
        entry.qualifier = tokens[i + 2];
        entry.detailName = Trim(entry.name);
        entry.detailQualifier = Trim(entry.qualifier);
        entry.serial = NextEntrySerial();
        entry.kind = discMode ? KindAudio : ClassifyPath(entry.path);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<NavigatorEntry> BuildAlbumEntries(const TokenList& tokens) {
    std::vector<NavigatorEntry> entries;
    if (tokens.Count() % 3 != 0) return entries;
    uint32_t serial = NextEntrySerial();
    entries.reserve(tokens.Count() / 3);
    for (size_t i = 0; i < tokens.Count(); i += 3) {
        NavigatorEntry entry;
        entry.key = tokens[i];
        entry.name = TrimLeft(tokens[i + 1]);
        entry.qualifier = TrimLeft(tokens[i + 2]);
        entry.serial = serial;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool ParseListHeader(const TokenList& tokens, std::string* key, std::string* title) {
    if (tokens.Count() != 3) return false;
    *key = tokens[0];
    std::string name = TrimLeft(tokens[1]);
    std::string qualifier = TrimLeft(tokens[2]);
    *title = qualifier.empty() ? name : qualifier + " / " + name;
    return true;
}
