#include "navigator/EntryModel.h"

#include "navigator/TokenList.h"

#include <atomic>

uint32_t NextEntrySerial() {
    static std::atomic<uint32_t> counter{0};
    return ++counter;
}

std::string_view TrimLeft(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view Trim(std::string_view text) {
    std::string_view left = TrimLeft(text);
    size_t last = left.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : left.substr(0, last + 1);
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

void EntryArray::Reserve(size_t bytes, size_t count) {
    clear();
    text_.reserve(bytes);
    items_.reserve(count);
}

std::string_view EntryArray::Keep(std::string_view text) {
    if (text_.capacity() - text_.size() < text.size() + 1) return std::string_view("", 0);
    const char* at = text_.data() + text_.size();
    text_.insert(text_.end(), text.begin(), text.end());
    text_.push_back('\0');
    return std::string_view(at, text.size());
}

namespace {

// The bytes every token of the list takes with its terminator.
size_t TextSize(const TokenList& tokens) {
    size_t bytes = 0;
    for (size_t i = 0; i < tokens.Count(); ++i) bytes += tokens[i].size() + 1;
    return bytes;
}

}  // namespace

void BuildTrackEntries(const TokenList& tokens, bool discMode, EntryArray& list) {
    size_t count = (tokens.Count() + 2) / 3;
    // A missing last token is an empty string with its own terminator.
    list.Reserve(TextSize(tokens) + 2, count);
    for (size_t i = 0; i < tokens.Count(); i += 3) {
        NavigatorEntry& entry = list.items_.emplace_back();
        entry.path = list.Keep(tokens[i]);
        entry.name = list.Keep(tokens[i + 1]);
        entry.qualifier = list.Keep(tokens[i + 2]);
        entry.detailName = Trim(entry.name);
        entry.detailQualifier = Trim(entry.qualifier);
        entry.serial = NextEntrySerial();
        entry.kind = discMode ? KindAudio : ClassifyPath(entry.path.data());
    }
}

bool BuildAlbumEntries(const TokenList& tokens, EntryArray& list) {
    if (tokens.Count() % 3 != 0) {
        list.clear();
        return false;
    }
    uint32_t serial = NextEntrySerial();
    list.Reserve(TextSize(tokens), tokens.Count() / 3);
    for (size_t i = 0; i < tokens.Count(); i += 3) {
        NavigatorEntry& entry = list.items_.emplace_back();
        entry.key = list.Keep(tokens[i]);
        entry.name = list.Keep(TrimLeft(tokens[i + 1]));
        entry.qualifier = list.Keep(TrimLeft(tokens[i + 2]));
        entry.serial = serial;
    }
    return true;
}

bool ParseListHeader(const TokenList& tokens, std::string* key, std::string* title) {
    if (tokens.Count() != 3) return false;
    *key = tokens[0];
    std::string_view name = TrimLeft(tokens[1]);
    std::string_view qualifier = TrimLeft(tokens[2]);
    *title = qualifier.empty() ? std::string(name) : std::string(qualifier) + " / " + std::string(name);
    return true;
}
