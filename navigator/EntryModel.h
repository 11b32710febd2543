// The entries of the Navigator's lists and the arithmetic on them. Pure logic: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/MediaKind.h"

enum ListMode : int32_t { Tracks = 0, Albums = 1 };

// The strings view the text of their list (EntryArray), each of the first four ended there by a
// zero; the two detail strings are the trimmed parts of qualifier and name.
struct NavigatorEntry {
    std::string_view path;
    std::string_view qualifier;
    std::string_view name;
    std::string_view key;
    std::string_view detailQualifier;
    std::string_view detailName;
    uint32_t serial = 0;
    EntryKind kind = KindOther;
};

// The entries of one list and the text they view: one block per list rather than strings per
// entry, so that a list of thousands loads with two allocations.
class EntryArray {
public:
    size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    NavigatorEntry& operator[](size_t index) { return items_[index]; }
    const NavigatorEntry& operator[](size_t index) const { return items_[index]; }
    std::vector<NavigatorEntry>::const_iterator begin() const { return items_.begin(); }
    std::vector<NavigatorEntry>::const_iterator end() const { return items_.end(); }
    void clear() {
        items_.clear();
        text_.clear();
    }

private:
    friend void BuildTrackEntries(const class TokenList& tokens, bool discMode, EntryArray& list);
    friend bool BuildAlbumEntries(const class TokenList& tokens, EntryArray& list);
    // Room for `bytes` of text, and for `count` entries. The memory of earlier lists is reused:
    // fresh memory costs more to touch than the entries cost to make.
    void Reserve(size_t bytes, size_t count);
    // A copy of `text`, zero-ended, inside the reserved block.
    std::string_view Keep(std::string_view text);

    std::vector<char> text_;  // never grown past its reserve: the views stay valid
    std::vector<NavigatorEntry> items_;
};

// The next process-wide serial: 1 first, so 0 never names a live thumbnail.
uint32_t NextEntrySerial();

class TokenList;

// Makes `list` the entries of a track list: path, name and qualifier by threes, a missing last
// token empty; each with a new serial, and of the kind its path says (audio in disc mode).
void BuildTrackEntries(const TokenList& tokens, bool discMode, EntryArray& list);
// Makes `list` the entries of an album list: key, name and qualifier by threes; none, and false,
// unless the count is whole.
bool BuildAlbumEntries(const TokenList& tokens, EntryArray& list);
// The key and the title ("qualifier / name", or the name alone) of a list header of three tokens;
// false for any other count.
bool ParseListHeader(const TokenList& tokens, std::string* key, std::string* title);

std::string_view TrimLeft(std::string_view text);
std::string_view Trim(std::string_view text);

// The layout numbers of one list.
struct LayoutNumbers {
    int columns;
    int rows;
    int perPage;
};

LayoutNumbers ComputeLayoutNumbers(ListMode mode, int column, int textSize, bool showThumbnail, bool iconView);
