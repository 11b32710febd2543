// The list the Navigator shows and where it stands in it: the entries, the list's mode, title and
// key, the top, the selection, the pressed and hot entries, the position kept across a reload, and
// the pending delete with the file its box shows. Every change goes through a member that keeps
// the selection on an entry and the delete tied to its file. Pure logic: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "navigator/EntryModel.h"

class TokenList;

// Whether two zero-ended texts are the same, letter case ignored as the list's code page sees it.
using SameTextFn = bool (*)(std::string_view a, std::string_view b);

// A delete press as its message tells it: the message's time (the system's millisecond tick,
// which wraps) and, from the keyboard, whether the key was already down (its auto-repeat).
struct DeletePress {
    uint32_t time = 0;
    bool keyboard = false;
    bool repeat = false;
};

// What a change of selection asks to be repainted.
enum class Moved {
    None,    // nothing changed
    OnPage,  // the selection moved within the page: its old and new cells, and the header
    NewPage  // the page changed: everything
};

class ListState {
public:
    explicit ListState(SameTextFn sameText) : sameText_(sameText) {}
    // The entries view their own text: a copy would view the original's.
    ListState(const ListState&) = delete;
    ListState& operator=(const ListState&) = delete;

    ListMode Mode() const { return mode_; }
    // Whether the list was asked for while the player was in disc mode.
    bool Disc() const { return disc_; }
    const EntryArray& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Title() const { return title_; }
    const std::string& Key() const { return key_; }
    int Top() const { return top_; }
    int Selected() const { return selected_; }
    int Pressed() const { return pressed_; }
    int Hot() const { return hot_; }
    const LayoutNumbers& Layout() const { return layout_; }
    // The end of the page: one past its last entry.
    int PageEnd() const { return top_ + layout_.perPage < Count() ? top_ + layout_.perPage : Count(); }
    bool OnPage(int index) const { return index >= top_ && index < PageEnd(); }
    bool HasSelection() const { return selected_ >= 0 && selected_ < Count(); }

    // The next list shows `mode`, asked for in disc mode or not as the player answered.
    void SetMode(ListMode mode) { mode_ = mode; }
    void SetDisc(bool disc) { disc_ = disc; }
    // An empty list laid out by `layout`, at its start. A pending delete goes with the old list.
    void Reset(const LayoutNumbers& layout);
    // The entries of a track list, each with a new serial.
    void LoadTracks(const TokenList& tokens);
    // The selection of a track list just loaded: the player's current track (`current`, counted
    // from 1), unless a kept position or a kept path says otherwise. Either is used once.
    void PlaceSelection(int64_t current);
    // The entries of an album list; false, and no entries, unless the tokens come in threes.
    bool LoadAlbums(const TokenList& tokens);
    // The key and title of a list header; false, and nothing changed, for a header of another size.
    bool LoadHeader(const TokenList& tokens);
    // Selects the album of `key`, centred; false when the list has none.
    bool SelectKey(std::string_view key);
    bool IsList(std::string_view key) const { return sameText_(key_, key); }
    // A picture that could not be made: the entry keeps its placeholder.
    void ForgetThumbnail(int index);

    // Movement. A row or a page: `delta` entries, within the list.
    Moved MoveBy(int delta);
    // One step left or right within the selection's row.
    Moved MoveHorizontal(int delta);
    // Entry `number` (from 1; a number past the end means the last), centred when off the page;
    // None for a number below 1 or the entry already selected.
    Moved SelectNumber(int number);
    // An entry of the page, as the mouse picks it.
    Moved Select(int index);
    void SetPressed(int index) { pressed_ = index; }
    void SetHot(int item) { hot_ = item; }

    // Puts the selection and top where a list kept them: the selection within the list, the top
    // centred on it when past the last entry.
    void Restore(int selected, int top);
    // The position to come back to once the list is loaded again: this selection and top (after a
    // delete), or the entry showing this selection's file (after a sort or refresh).
    void KeepPosition();
    void KeepSelectedPath();

    // The two-press delete: the first press, at `pressTime`, shows the selected track's file in a
    // box, first drawn at `shownAt`; the next command answers it.
    bool BeginDelete(uint32_t pressTime, uint32_t shownAt);
    bool DeletePending() const { return delete_.pending; }
    const std::string& DeletePath() const { return delete_.path; }
    int DeleteNumber() const { return delete_.number; }
    // Whether a delete press, while the box is up, is a second press: a key-down that is no
    // auto-repeat, or by any other road one that follows the last delete press (refused ones
    // included) by 1,100 ms, as a held button repeats within a second; and in either case one that
    // comes 400 ms or more after the box was drawn. One that is not leaves the box as it is.
    bool IsSecondPress(const DeletePress& press);
    // Answers the box and clears it: true when `confirmed` and the selection still shows the file
    // in the box, which is then the one to delete.
    bool AnswerDelete(bool confirmed);
    void CancelDelete();

private:
    // The top that puts `index` on screen.
    int CenteredTop(int index) const;
    // The index of entry `number` (from 1), within the list: the first below 1, the last past the end.
    int IndexOfNumber(int64_t number) const;
    // Selects, centred, the first entry whose `field` is `text`; false when none is.
    bool SelectWhere(std::string_view NavigatorEntry::*field, std::string_view text);

    SameTextFn sameText_;
    ListMode mode_ = Tracks;
    bool disc_ = false;
    LayoutNumbers layout_ = {0, 0, 0};
    EntryArray entries_;
    std::string title_;
    std::string key_;
    int top_ = 0;
    int selected_ = 0;
    int pressed_ = -1;
    int hot_ = -1;
    int savedSelected_ = -1;
    int savedTop_ = -1;
    std::string reselectPath_;
    // The pending delete is one for the whole process, as the player has one Navigator: any list
    // state answers it, and a new list anywhere takes it away.
    struct PendingDelete {
        bool pending = false;
        std::string path;
        int number = 0;
        uint32_t shownAt = 0;
        uint32_t lastPress = 0;
    };
    static PendingDelete delete_;
};
