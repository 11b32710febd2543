// The list state on its own: movement, paging, digits, where a loaded list selects, and the
// two-press delete. Built natively with sanitizers as well as under Wine.
#include "navigator/ListState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "navigator/TokenList.h"

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return tolower(static_cast<unsigned char>(c)); };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Loads `count` tracks D:\v\clip001.avi, clip002.avi, ... in `columns` columns of `rows` rows,
// with the player's current track `current`.
void LoadTracks(ListState& list, int count, int columns, int rows, int64_t current, const char* folder = "D:\\v\\") {
    std::string block;
    for (int i = 1; i <= count; ++i)
        block += folder + ("clip" + std::to_string(1000 + i).substr(1)) + ".avi" + '\0' + "n" + '\0' + "q" + '\0';
    block += '\0';
    list.SetMode(Tracks);
    list.Reset({columns, rows, columns * rows});
    list.LoadTracks(TokenList(block.data(), block.size()));
    list.PlaceSelection(current);
}

// Top and selection.
std::pair<int, int> At(const ListState& list) { return {list.Top(), list.Selected()}; }

}  // namespace

// Rows and pages move the selection; within the page nothing else changes, leaving it the page
// turns by the move. Left and right stay in the row. A digit selects its entry on the page,
// centres it off the page, and means the last entry past the end. Each move names what to repaint.
TEST(ListState, MovementPagingAndDigits) {
    enum Input { Up, Down, PageUp, PageDown, Left, Right, Digit };
    const char kRepaint[] = "-on";  // Moved::None, OnPage, NewPage
    // One column of 18 to a page; a grid of 4 columns and 3 rows with rows 0-3, 4-7, 8-9.
    // columns, count, top, selected, input (Digit + n: digit n) -> top, selected, repaint
    const struct { int columns, count, top, selected, input, newTop, newSelected; char repaint; } cases[] = {
        {1, 100, 0, 0, PageUp, 0, 0, '-'},      {1, 100, 0, 3, Right, 0, 3, '-'},
        {1, 100, 0, 17, Down, 1, 18, 'n'},      {1, 100, 18, 18, Up, 17, 17, 'n'},
        {1, 100, 0, 5, Down, 0, 6, 'o'},        {1, 100, 0, 0, PageDown, 18, 18, 'n'},
        {1, 100, 17, 17, PageUp, 0, 0, 'n'},    {1, 100, 90, 95, PageDown, 90, 99, 'o'},
        {1, 100, 81, 98, PageDown, 99, 99, 'n'}, {1, 0, 0, 0, Down, 0, 0, '-'},
        {4, 10, 0, 9, Right, 0, 9, '-'},        {4, 10, 0, 9, Left, 0, 8, 'o'},
        {4, 10, 0, 8, Left, 0, 8, '-'},         {4, 10, 0, 7, Right, 0, 7, '-'},
        {4, 10, 0, 9, Up, 0, 5, 'o'},           {4, 10, 0, 6, Down, 0, 9, 'o'},
        {1, 100, 0, 0, Digit + 4, 0, 3, 'o'},   {1, 100, 0, 3, Digit + 4, 0, 3, '-'},
        {1, 100, 50, 55, Digit + 3, 0, 2, 'n'}, {1, 100, 0, 0, Digit + 60, 50, 59, 'n'},
        {1, 3, 0, 0, Digit + 5, 0, 2, 'o'},     {1, 100, 0, 3, Digit + 0, 0, 3, '-'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.columns << " columns of " << c.count << " at " << c.top << "/"
                                          << c.selected << ", input " << c.input);
        ListState list(SameAsciiText);
        int rows = c.columns == 1 ? 18 : 3, step = c.input == Up || c.input == Down ? c.columns : rows * c.columns;
        LoadTracks(list, c.count, c.columns, rows, 1);
        list.Restore(c.selected, c.top);
        ASSERT_EQ(std::make_pair(c.top, c.selected), At(list));
        Moved moved = c.input >= Digit                          ? list.SelectNumber(c.input - Digit)
                      : c.input == Left || c.input == Right     ? list.MoveHorizontal(c.input == Left ? -1 : 1)
                      : c.input == Up || c.input == PageUp      ? list.MoveBy(-step)
                                                                : list.MoveBy(step);
        EXPECT_EQ(std::make_pair(c.newTop, c.newSelected), At(list));
        EXPECT_EQ(c.repaint, kRepaint[static_cast<int>(moved)]);
    }
}

// A track list selects the player's current track, centred on a grid of 3 columns and 6 rows
// (the first or last entry when out of range); after a delete, the kept position instead (the last
// entry when past the new count, the top centred when past the last index); after a sort or
// refresh, the same file in any letter case, or the current track when it is gone. What was kept
// is used once.
TEST(ListState, LoadedTracksSelectTheCurrentTrackOrWhatWasKept) {
    enum Kept { Nothing, Position, File };  // what the list before kept
    const struct { const char* what; int current; Kept kept; int keptSelected, keptTop, count, top, selected; } rows[] = {
        {"the current track, centred", 22, Nothing, 0, 0, 40, 12, 21},
        {"the current track on the last page", 30, Nothing, 0, 0, 40, 24, 29},
        {"current 0: the first", 0, Nothing, 0, 0, 40, 0, 0},
        {"current below 1: the first", -5, Nothing, 0, 0, 40, 0, 0},
        {"current past the count: the last", 41, Nothing, 0, 0, 40, 24, 39},
        {"an empty list", 5, Nothing, 0, 0, 0, 0, 0},
        {"a kept position past the new count: the last entry", 1, Position, 50, 3, 20, 3, 19},
        {"a kept top past the last index: centred", 1, Position, 35, 45, 40, 24, 35},
        {"a kept position in an empty list", 1, Position, 0, 0, 0, 0, 0},
        {"a kept position that fits", 1, Position, 60, 54, 100, 54, 60},
        {"the kept file, in other letter case", 2, File, 33, 0, 40, 24, 33},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        ListState list(SameAsciiText);
        LoadTracks(list, 100, 3, 6, 1);
        if (r.kept != Nothing) list.Restore(r.keptSelected, r.keptTop);
        if (r.kept == Position) list.KeepPosition();
        if (r.kept == File) list.KeepSelectedPath();
        LoadTracks(list, r.count, 3, 6, r.current, "d:\\V\\");
        EXPECT_EQ(std::make_pair(r.top, r.selected), At(list));
        LoadTracks(list, r.count, 3, 6, 1);
        EXPECT_EQ(std::make_pair(0, 0), At(list)) << "kept twice";
    }
    ListState list(SameAsciiText);
    LoadTracks(list, 10, 3, 6, 4);
    list.KeepSelectedPath();
    LoadTracks(list, 10, 3, 6, 2, "E:\\");
    EXPECT_EQ(1, list.Selected()) << "a file no longer listed";
    LoadTracks(list, 10, 1, 18, int64_t{1} << 32);  // beyond any int: the last entry
    EXPECT_EQ(9, list.Selected());
}

// The first press needs a selected track; the box names the file and its number. Only a second
// press answers it: a key-down that is no auto-repeat, or by any other road one 1,100 ms after the
// delete press before it (refused ones too), either 400 ms after the box was drawn; it deletes when
// the selection still shows the file. Another command cancels; a new list takes the box away. Each
// case runs with the tick count far from its wrap and across it.
TEST(ListState, TheTwoPressDelete) {
    ListState list(SameAsciiText);
    LoadTracks(list, 0, 1, 18, 1);
    EXPECT_FALSE(list.BeginDelete(0, 0));  // nothing to delete
    LoadTracks(list, 5, 1, 18, 1);
    list.SetMode(Albums);
    EXPECT_FALSE(list.BeginDelete(0, 0));  // an album
    enum Kind { Key, KeyRepeat, Button, Other, SelectOther, SelectBack, NewList };
    struct Step { Kind kind; uint32_t after; };  // presses: milliseconds after the first
    const struct { const char* what; uint32_t drawn; std::vector<Step> steps; bool deletes; } cases[] = {
        {"a key pressed again once the box was up 400 ms", 0, {{Key, 400}}, true},
        {"a key pressed again 399 ms after the box", 0, {{Key, 399}}, false},
        {"the key held: its auto-repeat", 0, {{KeyRepeat, 600}, {KeyRepeat, 5000}}, false},
        {"a button pressed again 1,100 ms later", 0, {{Button, 1100}}, true},
        {"a button pressed again 1,099 ms later", 0, {{Button, 1099}}, false},
        {"a button held: each repeat within 1,100 ms", 0, {{Button, 1000}, {Button, 2050}, {Button, 3100}}, false},
        {"the held button released and pressed again", 0, {{Button, 1000}, {Button, 2050}, {Button, 3150}}, true},
        {"a key right after a refused button", 0, {{Button, 1000}, {Key, 1010}}, true},
        {"a box drawn late: a key 399 ms after it", 500, {{Key, 899}}, false},
        {"a box drawn late: a button 1,100 ms after the press, 300 after the box", 800, {{Button, 1100}}, false},
        {"a press stamped before the box", 500, {{Key, 300}}, false},
        {"another command", 0, {{Other, 0}, {Key, 500}}, false},
        {"a second press on another entry", 0, {{SelectOther, 0}, {Key, 500}}, false},
        {"a second press back on the entry", 0, {{SelectOther, 0}, {SelectBack, 0}, {Key, 500}}, true},
        {"a second press after a new list", 0, {{NewList, 0}, {Key, 500}}, false},
    };
    for (uint32_t first : {1000u, 0xFFFFFC00u}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.what << ", first press at " << first);
            LoadTracks(list, 5, 1, 18, 3);
            ASSERT_TRUE(list.BeginDelete(first, first + c.drawn));
            EXPECT_EQ("D:\\v\\clip003.avi", list.DeletePath());
            EXPECT_EQ(3, list.DeleteNumber());
            bool deleted = false;
            for (const Step& step : c.steps) {
                if (step.kind == Other) list.AnswerDelete(false);
                if (step.kind == SelectOther || step.kind == SelectBack) list.Select(step.kind == SelectOther ? 0 : 2);
                if (step.kind == NewList) LoadTracks(list, 5, 1, 18, 3);
                if (step.kind > Button || !list.DeletePending()) continue;
                if (list.IsSecondPress({first + step.after, step.kind != Button, step.kind == KeyRepeat}))
                    deleted = list.AnswerDelete(true);
                else
                    EXPECT_TRUE(list.DeletePending()) << "a refused press took the box away";
            }
            EXPECT_EQ(c.deletes, deleted);
        }
    }
}
