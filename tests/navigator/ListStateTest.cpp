// The list state on its own: movement, paging, digits, where a loaded list selects, and the
// two-press delete. Built natively with sanitizers as well as under Wine.
#include "navigator/ListState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

#include "navigator/TokenList.h"

namespace {

bool SameAsciiText(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return tolower(static_cast<unsigned char>(c)); };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Loads `count` tracks D:\v\clip001.avi, clip002.avi, ... in `columns` columns of `rows` rows,
// with the player's current track `current`.
void LoadTracks(ListState& list, int count, int columns, int rows, int64_t current, const char* folder = "D:\\v\\") {
    std::string block;  // the player's block: each token zero-ended, and a zero after the last
    for (int i = 1; i <= count; ++i)
        block += folder + ("clip" + std::to_string(1000 + i).substr(1)) + std::string(".avi\0n\0q\0", 9);
    block += '\0';
    list.SetMode(Tracks);
    list.Reset({columns, rows, columns * rows});
    list.LoadTracks(TokenList(block.data(), block.size()));
    list.PlaceSelection(current);
}

// Top and selection.
std::pair<int, int> At(const ListState& list) { return {list.Top(), list.Selected()}; }

enum Input { Up, Down, PageUp, PageDown, Left, Right, kDigit };
// The digit button `n`.
constexpr int Digit(int n) { return kDigit + n; }

}  // namespace

// Rows and pages move the selection; within the page nothing else changes, leaving it the page
// turns by the move, in whole rows. Left and right stay in the row. A digit selects its entry on
// the page, centres it off the page, and means the last entry past the end. Each move names what
// to repaint.
TEST(ListState, MovementPagingAndDigits) {
    // One column holds 18 to a page; four columns 3 rows (10 entries: rows 0-3, 4-7, 8-9).
    struct Row { const char* what; int columns, count, top, selected, input, newTop, newSelected; Moved moved; };
    const Row rows[] = {
        {"Page Up on the first entry", 1, 100, 0, 0, PageUp, 0, 0, Moved::None},
        {"Down within the page", 1, 100, 0, 5, Down, 0, 6, Moved::OnPage},
        {"Down off the page: one row on", 1, 100, 0, 17, Down, 1, 18, Moved::NewPage},
        {"Page Up to the start", 1, 100, 17, 17, PageUp, 0, 0, Moved::NewPage},
        {"Page Down onto the last entry, on the page", 1, 100, 90, 95, PageDown, 90, 99, Moved::OnPage},
        {"Page Down to a page of the last entry alone", 1, 100, 81, 98, PageDown, 99, 99, Moved::NewPage},
        {"Down in an empty list", 1, 0, 0, 0, Down, 0, 0, Moved::None},
        {"grid: Right with no entry after", 4, 10, 0, 9, Right, 0, 9, Moved::None},
        {"grid: Left", 4, 10, 0, 9, Left, 0, 8, Moved::OnPage},
        {"grid: Up a row", 4, 10, 0, 9, Up, 0, 5, Moved::OnPage},
        {"grid: Down onto the short last row", 4, 10, 0, 6, Down, 0, 9, Moved::OnPage},
        {"grid: Down off the page: one row on", 4, 30, 0, 9, Down, 4, 13, Moved::NewPage},
        {"digit 4 on the page", 1, 100, 0, 0, Digit(4), 0, 3, Moved::OnPage},
        {"digit 3 above the page: centred", 1, 100, 50, 55, Digit(3), 0, 2, Moved::NewPage},
        {"number 60 below the page: centred", 1, 100, 0, 0, Digit(60), 50, 59, Moved::NewPage},
        {"digit 5 of 3 entries: the last", 1, 3, 0, 0, Digit(5), 0, 2, Moved::OnPage},
        {"digit 0: no entry", 1, 100, 0, 3, Digit(0), 0, 3, Moved::None},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        ListState list(SameAsciiText);
        int perRow = r.columns == 1 ? 18 : 3, step = r.input == Up || r.input == Down ? r.columns : perRow * r.columns;
        LoadTracks(list, r.count, r.columns, perRow, 1);
        list.Restore(r.selected, r.top);
        Moved got = r.input >= kDigit                     ? list.SelectNumber(r.input - kDigit)
                    : r.input == Left || r.input == Right ? list.MoveHorizontal(r.input == Left ? -1 : 1)
                    : r.input == Up || r.input == PageUp  ? list.MoveBy(-step)
                                                          : list.MoveBy(step);
        EXPECT_EQ(std::make_tuple(r.newTop, r.newSelected, r.moved), std::make_tuple(list.Top(), list.Selected(), got));
    }
}

// A track list selects the player's current track, centred on a grid of 3 columns and 6 rows
// (the first or last entry when out of range, also beyond any int); after a delete, the kept
// position instead (the last entry when past the new count, the top centred when past the last
// index); after a sort or refresh, the same file in any letter case, or the current track when it
// is gone. What was kept is used once.
TEST(ListState, LoadedTracksSelectTheCurrentTrackOrWhatWasKept) {
    enum Kept { Nothing, Position, File };  // what the list before kept
    struct Row { const char* what; int64_t current; Kept kept; int keptSelected, keptTop, count, top, selected; };
    const Row rows[] = {
        {"the current track, centred", 22, Nothing, 0, 0, 40, 12, 21},
        {"the current track on the last page", 30, Nothing, 0, 0, 40, 24, 29},
        {"current below 1: the first", -5, Nothing, 0, 0, 40, 0, 0},
        {"current past the count: the last", 41, Nothing, 0, 0, 40, 24, 39},
        {"current beyond any int: the last", int64_t{1} << 32, Nothing, 0, 0, 40, 24, 39},
        {"an empty list", 5, Nothing, 0, 0, 0, 0, 0},
        {"a kept position past the new count: the last entry", 1, Position, 50, 3, 20, 3, 19},
        {"a kept top past the last index: centred", 1, Position, 35, 45, 40, 24, 35},
        {"a kept position that fits", 1, Position, 60, 54, 100, 54, 60},
        {"the kept file, in other letter case", 2, File, 33, 0, 40, 24, 33},
        {"the kept file gone: the current track", 2, File, 33, 0, 20, 0, 1},
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
}

// The box of the first press names the file and its number. Only a second
// press answers it: a key-down that is no auto-repeat, or by any other road one 1,100 ms after the
// delete press before it (refused ones too), either 400 ms after the box was drawn; it deletes when
// the selection still shows the file. Another command cancels; a new list takes the box away. Each
// case runs with the tick count far from its wrap and across it.
TEST(ListState, TheTwoPressDelete) {
    ListState list(SameAsciiText);
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
            EXPECT_EQ(std::make_pair(std::string("D:\\v\\clip003.avi"), 3),
                      std::make_pair(list.DeletePath(), list.DeleteNumber()));
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
