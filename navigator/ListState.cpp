#include "navigator/ListState.h"

#include "navigator/TokenList.h"

namespace {

// A held button's first repeat can come a second after the press, then every 30-110 ms.
constexpr int32_t kHeldButtonRepeatMs = 1100;
// How long the box is up before a second press counts.
constexpr int32_t kDeleteBoxSeenMs = 400;

// Milliseconds from `earlier` to `later` across the tick count's wrap; negative when `later` is
// in fact earlier.
int32_t Since(uint32_t later, uint32_t earlier) { return static_cast<int32_t>(later - earlier); }

}  // namespace

ListState::PendingDelete ListState::delete_;

void ListState::Reset(const LayoutNumbers& layout) {
    CancelDelete();
    entries_.clear();
    top_ = selected_ = 0;
    title_.clear();
    key_.clear();
    layout_ = layout;
}

void ListState::LoadTracks(const TokenList& tokens) { BuildTrackEntries(tokens, disc_, entries_); }

int ListState::IndexOfNumber(int64_t number) const {
    int64_t last = Count() > 0 ? Count() : 1;
    return static_cast<int>((number < 1 ? 1 : number > last ? last : number) - 1);
}

bool ListState::SelectWhere(std::string_view NavigatorEntry::*field, std::string_view text) {
    for (int i = 0; i < Count(); ++i)
        if (sameText_(entries_[i].*field, text)) {
            selected_ = i;
            top_ = CenteredTop(selected_);
            return true;
        }
    return false;
}

void ListState::PlaceSelection(int64_t current) {
    selected_ = IndexOfNumber(current);
    top_ = CenteredTop(selected_);
    if (savedSelected_ >= 0)
        Restore(savedSelected_, savedTop_);
    else if (!reselectPath_.empty())
        SelectWhere(&NavigatorEntry::path, reselectPath_);
    reselectPath_.clear();
    savedSelected_ = savedTop_ = -1;
}

bool ListState::LoadAlbums(const TokenList& tokens) { return BuildAlbumEntries(tokens, entries_); }

bool ListState::LoadHeader(const TokenList& tokens) { return ParseListHeader(tokens, &key_, &title_); }

bool ListState::SelectKey(std::string_view key) { return SelectWhere(&NavigatorEntry::key, key); }

void ListState::ForgetThumbnail(int index) {
    if (index >= 0 && index < Count()) entries_[index].serial = 0;
}

int ListState::CenteredTop(int index) const {
    int columns = layout_.columns < 1 ? 1 : layout_.columns;
    if (index < layout_.perPage) return 0;
    int row = index / columns;
    int lastRow = Count() / columns;
    int rows = layout_.rows;
    int top = rows + row > lastRow ? (lastRow - rows + 1) * columns : (row - rows / 2) * columns;
    return top < 0 ? 0 : top;
}

Moved ListState::MoveBy(int delta) {
    int columns = layout_.columns < 1 ? 1 : layout_.columns;
    int count = Count();
    int top = ((top_ + delta) / columns) * columns;
    if (top > count - 1) top = count - 1;
    top = (top / columns) * columns;
    if (top < 0) top = 0;
    int selected = selected_ + delta;
    if (selected > count - 1) selected = count - 1;
    if (selected < 0) selected = 0;
    if (top == top_ && selected == selected_) return Moved::None;
    // Within the page only the selection moves; the page turns when the selection leaves it.
    int slot = selected - top_;
    selected_ = selected;
    if (slot >= 0 && slot < layout_.perPage) return Moved::OnPage;
    top_ = top;
    return Moved::NewPage;
}

Moved ListState::MoveHorizontal(int delta) {
    int columns = layout_.columns < 1 ? 1 : layout_.columns;
    int column = selected_ % columns;
    if ((column == 0 && delta < 0) || (column == columns - 1 && delta > 0)) return Moved::None;
    int next = selected_ + delta;
    if (next > Count() - 1) next = Count() - 1;
    if (next < 0) next = 0;
    return Select(next);
}

Moved ListState::SelectNumber(int number) {
    if (number < 1) return Moved::None;
    int index = IndexOfNumber(number);
    if (index >= top_ && index < top_ + layout_.perPage) return Select(index);
    selected_ = index;
    top_ = CenteredTop(index);
    return Moved::NewPage;
}

Moved ListState::Select(int index) {
    if (index == selected_) return Moved::None;
    selected_ = index;
    return Moved::OnPage;
}

void ListState::Restore(int selected, int top) {
    selected_ = selected > Count() - 1 ? Count() - 1 : selected;
    if (selected_ < 0) selected_ = 0;
    top_ = top > Count() - 1 ? CenteredTop(selected_) : top;
    if (top_ < 0) top_ = 0;
}

void ListState::KeepPosition() {
    savedSelected_ = selected_;
    savedTop_ = top_;
}

void ListState::KeepSelectedPath() {
    reselectPath_ = HasSelection() ? std::string(entries_[selected_].path) : std::string();
}

bool ListState::BeginDelete(uint32_t pressTime, uint32_t shownAt) {
    if (mode_ != Tracks || !HasSelection()) return false;
    delete_.pending = true;
    delete_.path = entries_[selected_].path;
    delete_.number = selected_ + 1;
    delete_.lastPress = pressTime;
    delete_.shownAt = shownAt;
    return true;
}

bool ListState::IsSecondPress(const DeletePress& press) {
    bool fresh = press.keyboard ? !press.repeat : Since(press.time, delete_.lastPress) >= kHeldButtonRepeatMs;
    delete_.lastPress = press.time;
    return fresh && Since(press.time, delete_.shownAt) >= kDeleteBoxSeenMs;
}

bool ListState::AnswerDelete(bool confirmed) {
    bool shown = confirmed && HasSelection() && entries_[selected_].path == delete_.path;
    CancelDelete();
    return shown;
}

void ListState::CancelDelete() {
    delete_.pending = false;
    delete_.path.clear();
}
