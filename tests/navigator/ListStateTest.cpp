// The list state on its own: movement, paging, digits, where a loaded list selects, and the
// two-press delete. Built natively with sanitizers as well as under Wine.
#include "navigator/ListState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "navigator/TokenList.h"

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return tolower(static_cast<unsigned char>(c)); };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The player's block for `count` tracks D:\v\clip001.avi, clip002.avi, ...
std::string TrackBlock(int count, const char* folder = "D:\\v\\") {
    std::string block;
    for (int i = 1; i <= count; ++i) {
        std::string number = std::to_string(1000 + i).substr(1);
        block += std::string(folder) + "clip" + number + ".avi" + '\0' + "clip" + number + '\0' + "q" + '\0';
    }
    return block + '\0';
}

// Loads `count` tracks laid out in `columns` columns of `rows` rows, with the player's current
// track `current`.
void LoadTracks(ListState& list, int count, int columns, int rows, int64_t current, const char* folder = "D:\\v\\") {
    std::string block = TrackBlock(count, folder);
    list.SetMode(Tracks, false);
    list.Reset({columns, rows, columns * rows});
    list.LoadTracks(TokenList(block.data(), block.size()));
    list.PlaceSelection(current);
}

struct Position {
    int top, selected;
    bool operator==(const Position& o) const { return top == o.top && selected == o.selected; }
};
std::ostream& operator<<(std::ostream& out, const Position& p) {
    return out << "top " << p.top << ", selected " << p.selected;
}
Position At(const ListState& list) { return {list.Top(), list.Selected()}; }

}  // namespace

// Rows and pages move the selection; within the page nothing else changes, leaving it the page
// turns by the move. Left and right stay in the row. A digit selects its entry on the page,
// centres it off the page, and means the last entry past the end.
TEST(ListState, MovementPagingAndDigits) {
    enum Input { Up, Down, PageUp, PageDown, Left, Right, Digit1 };
    const char* const kRepaint = "-on";  // Moved::None, OnPage, NewPage
    struct Case {
        int columns, count, top, selected;
        int input;  // Digit1 + n - 1 for digit n
        int newTop, newSelected;
        char repaint;
    };
    // One column of 18 to a page; a grid of 4 columns and 3 rows with rows 0-3, 4-7, 8-9.
    const Case cases[] = {
        {1, 100, 0, 0, Up, 0, 0, '-'},          {1, 100, 0, 0, PageUp, 0, 0, '-'},
        {1, 100, 0, 3, Left, 0, 3, '-'},        {1, 100, 0, 3, Right, 0, 3, '-'},
        {1, 100, 0, 17, Down, 1, 18, 'n'},      {1, 100, 18, 18, Up, 17, 17, 'n'},
        {1, 100, 0, 5, Down, 0, 6, 'o'},        {1, 100, 0, 0, PageDown, 18, 18, 'n'},
        {1, 100, 17, 17, PageUp, 0, 0, 'n'},    {1, 100, 90, 95, PageDown, 90, 99, 'o'},
        {1, 100, 81, 98, PageDown, 99, 99, 'n'}, {1, 100, 82, 99, PageDown, 82, 99, 'o'},
        {1, 0, 0, 0, Down, 0, 0, '-'},
        {4, 10, 0, 9, Right, 0, 9, '-'},        {4, 10, 0, 9, Left, 0, 8, 'o'},
        {4, 10, 0, 8, Left, 0, 8, '-'},         {4, 10, 0, 7, Right, 0, 7, '-'},
        {4, 10, 0, 5, Right, 0, 6, 'o'},        {4, 10, 0, 9, Up, 0, 5, 'o'},
        {4, 10, 0, 5, Down, 0, 9, 'o'},         {4, 10, 0, 6, Down, 0, 9, 'o'},
        {1, 100, 0, 0, Digit1 + 3, 0, 3, 'o'},  {1, 100, 0, 3, Digit1 + 3, 0, 3, '-'},
        {1, 100, 50, 55, Digit1 + 2, 0, 2, 'n'}, {1, 100, 0, 0, Digit1 + 59, 50, 59, 'n'},
        {1, 3, 0, 0, Digit1 + 4, 0, 2, 'o'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.columns << " columns of " << c.count << ", top " << c.top
                                          << ", selected " << c.selected << ", input " << c.input);
        ListState list(SameAsciiText);
        int rows = c.columns == 1 ? 18 : 3;
        LoadTracks(list, c.count, c.columns, rows, 1);
        list.Restore(c.selected, c.top);
        ASSERT_EQ((Position{c.top, c.selected}), At(list));
        int perPage = c.columns * rows;
        Moved moved = c.input == Up         ? list.MoveBy(-c.columns)
                      : c.input == Down     ? list.MoveBy(c.columns)
                      : c.input == PageUp   ? list.MoveBy(-perPage)
                      : c.input == PageDown ? list.MoveBy(perPage)
                      : c.input == Left     ? list.MoveHorizontal(-1)
                      : c.input == Right    ? list.MoveHorizontal(1)
                                            : list.SelectNumber(c.input - Digit1 + 1);
        EXPECT_EQ((Position{c.newTop, c.newSelected}), At(list));
        EXPECT_EQ(c.repaint, kRepaint[static_cast<int>(moved)]);
    }
    ListState list(SameAsciiText);
    LoadTracks(list, 10, 1, 18, 3);
    EXPECT_EQ(Moved::None, list.SelectNumber(0));
    EXPECT_EQ(Moved::None, list.SelectNumber(-4));
    EXPECT_EQ(2, list.Selected());
}

// A track list selects the player's current track, centred on a grid of 3 columns and 6 rows
// (the first or last entry when out of range); after a delete, the kept position instead (the last
// entry when past the new count, the top centred when past the last index). A kept position is
// used once.
TEST(ListState, LoadedTracksSelectTheCurrentTrackOrTheKeptPosition) {
    // current, kept selection and top (-1: none), count -> selected, top
    const int cases[][6] = {
        {22, -1, -1, 40, 21, 12}, {30, -1, -1, 40, 29, 24}, {0, -1, -1, 40, 0, 0}, {-5, -1, -1, 40, 0, 0},
        {41, -1, -1, 40, 39, 24}, {5, -1, -1, 0, 0, 0},     {1, 50, 3, 20, 19, 3},   {1, 35, 45, 40, 35, 24},
        {1, 0, 0, 0, 0, 0},       {1, 60, 54, 100, 60, 54},
    };
    for (const auto& [current, keptSelected, keptTop, count, selected, top] : cases) {
        SCOPED_TRACE(::testing::Message() << "current " << current << ", kept " << keptSelected << "/" << keptTop);
        ListState list(SameAsciiText);
        LoadTracks(list, 100, 3, 6, 1);
        if (keptSelected >= 0) {
            list.Restore(keptSelected, keptTop);
            list.KeepPosition();
        }
        LoadTracks(list, count, 3, 6, current);
        EXPECT_EQ((Position{top, selected}), At(list));
        LoadTracks(list, count, 3, 6, 1);
        EXPECT_EQ((Position{0, 0}), At(list)) << "a kept position used twice";
    }
    ListState huge(SameAsciiText);
    LoadTracks(huge, 10, 1, 18, int64_t{1} << 32);  // beyond any int: the last entry
    EXPECT_EQ(9, huge.Selected());
}

// After a sort or refresh the new list selects the same file wherever it is, in any letter case,
// centred; a file no longer listed leaves the current track. The path is used once.
TEST(ListState, SortAndRefreshSelectTheSameFileAgain) {
    ListState list(SameAsciiText);
    LoadTracks(list, 60, 1, 18, 1);
    list.SelectNumber(4);
    list.KeepSelectedPath();
    std::string block = TrackBlock(0);
    for (int i = 60; i >= 1; --i) {
        std::string number = std::to_string(1000 + i).substr(1);
        block.insert(block.size() - 1, "d:\\V\\CLIP" + number + ".AVI" + '\0' + "n" + '\0' + "q" + '\0');
    }
    list.Reset({1, 18, 18});
    list.LoadTracks(TokenList(block.data(), block.size()));
    list.PlaceSelection(2);
    EXPECT_EQ((Position{43, 56}), At(list));  // clip004 is the 57th now, on the last page
    LoadTracks(list, 60, 1, 18, 2);
    EXPECT_EQ((Position{0, 1}), At(list));

    list.SelectNumber(4);
    list.KeepSelectedPath();
    LoadTracks(list, 60, 1, 18, 2, "E:\\");
    EXPECT_EQ((Position{0, 1}), At(list));
}

// The album list selects the player's album by its key in any case, centred; an unknown key
// changes nothing.
TEST(ListState, AlbumsAreSelectedByKey) {
    std::string block;
    for (int i = 0; i < 50; ++i) block += "key" + std::to_string(i) + '\0' + " Name" + '\0' + " Q" + '\0';
    block += '\0';
    ListState list(SameAsciiText);
    list.SetMode(Albums, false);
    list.Reset({1, 36, 36});
    ASSERT_TRUE(list.LoadAlbums(TokenList(block.data(), block.size())));
    EXPECT_TRUE(list.SelectKey("KEY40"));
    EXPECT_EQ((Position{15, 40}), At(list));  // the last page
    EXPECT_FALSE(list.SelectKey("key50"));
    EXPECT_EQ((Position{15, 40}), At(list));
}

// The first press needs a selected track; the box names the file and its number. The next answer
// deletes only when it is a second press and the selection still shows that file; a new list
// takes the box away.
TEST(ListState, TheTwoPressDelete) {
    ListState list(SameAsciiText);
    LoadTracks(list, 0, 1, 18, 1);
    EXPECT_FALSE(list.BeginDelete());  // nothing to delete
    LoadTracks(list, 5, 1, 18, 1);
    list.SetMode(Albums, false);
    EXPECT_FALSE(list.BeginDelete());  // an album
    EXPECT_FALSE(list.DeletePending());

    enum Step { Confirm, Cancel, SelectOther, SelectBack, NewList };
    const struct {
        std::vector<Step> steps;
        bool deletes;
    } cases[] = {
        {{Confirm}, true}, {{Cancel}, false}, {{SelectOther, Confirm}, false},
        {{SelectOther, SelectBack, Confirm}, true}, {{NewList}, false},
    };
    for (const auto& c : cases) {
        LoadTracks(list, 5, 1, 18, 3);
        ASSERT_TRUE(list.BeginDelete());
        EXPECT_EQ("D:\\v\\clip003.avi", list.DeletePath());
        EXPECT_EQ(3, list.DeleteNumber());
        bool deleted = false;
        for (Step step : c.steps) {
            if (step == Confirm || step == Cancel) deleted = list.AnswerDelete(step == Confirm);
            if (step == SelectOther) list.Select(0);
            if (step == SelectBack) list.Select(2);
            if (step == NewList) LoadTracks(list, 5, 1, 18, 3);
        }
        EXPECT_EQ(c.deletes, deleted) << c.steps.size() << " steps, first " << c.steps[0];
        EXPECT_FALSE(list.DeletePending());
        EXPECT_EQ("", list.DeletePath());
    }
}
