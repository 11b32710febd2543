// Steering the Navigator: movement, the dispatcher in both states, choosing, deleting, keys and
// the mouse, with the fake player recording every message.
#include "tests/navigator/NavigatorFixture.h"

#include "base/Files.h"
#include "base/ModuleState.h"
#include "navigator/Commands.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <functional>

// Each row: top, selected, delta, count, columns, perPage -> the new top and selection, and
// whether the selection stays on the page. Rows, pages and the ends of lists and grids.
TEST(Movement, RowsAndPages) {
    struct Case {
        int top, selected, delta, count, columns, perPage;
        bool changed;
        int newTop, newSelected;
        bool onPage;
    };
    const Case cases[] = {
        {0, 0, -1, 10, 1, 6, false, 0, 0, true},        // at the top: no wrap
        {0, 0, -6, 10, 1, 6, false, 0, 0, true},
        {0, 9, -4, 10, 4, 24, true, 0, 5, true},        // up a row of the grid
        {0, 5, 4, 10, 4, 24, true, 0, 9, true},         // down to the short last row
        {0, 17, 1, 100, 1, 18, true, 1, 18, false},     // off the page: scroll one row
        {0, 0, 18, 100, 1, 18, true, 18, 18, false},    // a page
        {90, 95, 18, 100, 1, 18, true, 90, 99, true},   // near the end: last entry, top kept
        {81, 98, 18, 100, 1, 18, true, 99, 99, false},  // a page with only its first row
        {0, 0, 5, 0, 1, 18, false, 0, 0, true},         // empty list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.top << "/" << c.selected << " by " << c.delta);
        Move move = ComputeMoveBy(c.top, c.selected, c.delta, c.count, c.columns, c.perPage);
        EXPECT_EQ(c.changed, move.changed);
        if (!c.changed) continue;
        EXPECT_EQ(c.newSelected, move.selected);
        EXPECT_EQ(c.onPage, move.onPage);
        if (!c.onPage) {
            EXPECT_EQ(c.newTop, move.top);
        }
    }
}

TEST(Movement, LeftAndRightStayInTheirRow) {
    // selected, delta, count, columns -> selection
    const int cases[][5] = {{0, -1, 10, 1, 0}, {3, 1, 10, 1, 3}, {9, 1, 10, 4, 9},
                            {9, -1, 10, 4, 8}, {8, -1, 10, 4, 8}, {7, 1, 10, 4, 7}, {5, 1, 10, 4, 6}};
    for (const auto& c : cases) EXPECT_EQ(c[4], ComputeMoveHorizontal(c[0], c[1], c[2], c[3])) << c[0] << " by " << c[1];
}

namespace {

class Commands : public NavigatorFixture {
protected:
    void Shown(int count) {
        Start();
        SendTracks(count);
        ASSERT_TRUE(IsWindowVisible(Window()));
        player.Clear();
    }
};

// The player's answers to the state requests, and what the window shows when a command comes.
struct Situation {
    bool visible;
    ListMode mode;
    LRESULT playerState;  // request 20
    LRESULT disc;         // request 128
};

struct Dispatch {
    int command;
    Situation at;
    BOOL result;
    std::vector<PlayerMessage> sent;  // player commands and mode switches
    UINT listAsked;                   // request 21 (tracks), 18 (albums), or 0
    bool visibleAfter;
};

constexpr Situation kShown = {true, Tracks, 0, 0}, kShownDisc = {true, Tracks, 0, 1},
                    kShownAlbums = {true, Albums, 0, 0}, kHidden = {false, Tracks, 0, 0},
                    kHiddenKeys = {false, Tracks, 2, 0}, kHiddenDisc = {false, Tracks, 0, 1};

}  // namespace

// Every command in both states, with the player's state and disc mode where they matter.
TEST_F(Commands, DispatcherTable) {
    const Dispatch table[] = {
        // Codes below 1000 act only on the shown window; Home, End and unknown codes are not consumed.
        {CMD_PAGE_DOWN, kHidden, 0, {}, 0, false},
        {CMD_DELETE, kHidden, 0, {}, 0, false},
        {CMD_HOME, kShown, 0, {}, 0, true},
        {CMD_END, kShown, 0, {}, 0, true},
        {999, kShown, 0, {}, 0, true},
        {4711, kHidden, 0, {}, 0, false},
        {CMD_NONE, kShown, 1, {}, 0, true},
        // Sort and refresh: only the track list outside disc mode.
        {CMD_SORT, kShown, 1, {Command(6010, 0, 3)}, 0, true},
        {CMD_REFRESH, kShown, 1, {Command(6009, 0, 3)}, 0, true},
        {CMD_SORT, kShownDisc, 1, {}, 0, true},
        {CMD_REFRESH, kShownDisc, 1, {}, 0, true},
        {CMD_SORT, kShownAlbums, 1, {}, 0, true},
        {CMD_REFRESH, kShownAlbums, 1, {}, 0, true},
        // The Navigator and album buttons.
        {CMD_NAVIGATOR, kHidden, 1, {}, 21, false},
        {CMD_NAVIGATOR, kShown, 1, {}, 0, false},
        {CMD_ALBUMS, kHidden, 1, {}, 18, false},
        {CMD_ALBUMS, kShown, 1, {}, 18, true},
        // Next and previous list: not in disc mode; the shown window asks for the new list.
        {CMD_NEXT_LIST, kHidden, 1, {Command(5206, 1, 3)}, 0, false},
        {CMD_NEXT_LIST, kHiddenDisc, 1, {}, 0, false},
        {CMD_PREV_LIST, kShown, 1, {Command(5206, -1, 3)}, 21, true},
        {CMD_PREV_LIST, kShownDisc, 1, {}, 0, true},
        // Arrows and OK of the hidden window: keys for a player in state 2, else its own commands.
        {CMD_UP, kHiddenKeys, 1, {Command(7052, 38, 0)}, 0, false},
        {CMD_UP, kHidden, 1, {}, 0, false},
        {CMD_DOWN, kHiddenKeys, 1, {Command(7052, 40, 0)}, 0, false},
        {CMD_DOWN, kHidden, 1, {}, 0, false},
        {CMD_LEFT, kHiddenKeys, 1, {Command(7052, 37, 0)}, 0, false},
        {CMD_LEFT, kHidden, 1, {Command(5115, 0, 0)}, 0, false},
        {CMD_RIGHT, kHiddenKeys, 1, {Command(7052, 39, 0)}, 0, false},
        {CMD_RIGHT, kHidden, 1, {Command(5116, 0, 0)}, 0, false},
        {CMD_OK, kHiddenKeys, 1, {Command(7052, 13, 0)}, 0, false},
        {CMD_OK, kHidden, 1, {Command(5104, 0, 0)}, 0, false},
        {CMD_SELECT, kHidden, 1, {Command(5104, 0, 0)}, 0, false},
        {CMD_ESCAPE, kHidden, 1, {Command(5202, 0, 0)}, 0, false},
        {CMD_ESCAPE, kShown, 1, {}, 0, false},
        // Player commands of the hidden window; the shown one does nothing with them.
        {CMD_HOST_7032, kHidden, 1, {Command(7032, 0, 0)}, 0, false},
        {CMD_HOST_7032, kShown, 1, {}, 0, true},
        {CMD_AUDIO, kHidden, 1, {Command(7030, 0, 0)}, 0, false},
        {CMD_SUBTITLE, kHidden, 1, {Command(7031, 0, 0)}, 0, false},
        {CMD_DISC_MODE, kHiddenDisc, 1, {Command(7050, 0, 0)}, 0, false},
        {CMD_DISC_MODE, kHidden, 1, {ModeSwitch(2), Command(5104, 0, 0)}, 0, false},
        {CMD_DISC_MODE, kShown, 1, {}, 0, true},
        {CMD_FILE_MODE, kShownDisc, 1, {ModeSwitch(3)}, 21, true},
        {CMD_FILE_MODE, kShown, 1, {}, 0, true},
        {CMD_FILE_MODE, kHiddenDisc, 1, {ModeSwitch(3)}, 0, false},
        {CMD_FILE_MODE, kHidden, 1, {}, 0, false},
        {CMD_HOST_5171, kShown, 1, {Command(5171, 0, 0)}, 0, true},
        {CMD_HOST_5171, kHidden, 1, {Command(5171, 0, 0)}, 0, false},
        {CMD_HOST_5102, kHidden, 1, {Command(5102, 0, 0)}, 0, false},
        {CMD_HOST_5102, kHiddenDisc, 1, {Command(5102, 0, 0), ModeSwitch(3)}, 0, false},
        {CMD_HOST_5102, kShown, 1, {}, 0, true},
        {CMD_HOST_5107, kHidden, 1, {Command(5107, 0, 0)}, 0, false},
        {CMD_HOST_5108, kHidden, 1, {Command(5108, 0, 0)}, 0, false},
        {CMD_HOST_5115, kHidden, 1, {Command(5115, 0, 0)}, 0, false},
        {CMD_HOST_5116, kHidden, 1, {Command(5116, 0, 0)}, 0, false},
        {CMD_HOST_5135, kHidden, 1, {Command(5135, 0, 0)}, 0, false},
        {CMD_HOST_5134, kHidden, 1, {Command(5134, 0, 0)}, 0, false},
        {CMD_HOST_5172, kHidden, 1, {Command(5172, 0, 0)}, 0, false},
        {CMD_HOST_5205, kHidden, 1, {Command(5205, 0, 0)}, 0, false},
        {CMD_HOST_5205, kShown, 1, {}, 0, true},
    };
    Start();
    for (const Dispatch& row : table) {
        SCOPED_TRACE(::testing::Message() << "command " << row.command << (row.at.visible ? " shown" : " hidden")
                                          << (row.at.mode == Albums ? ", albums" : "") << ", state "
                                          << row.at.playerState << ", disc " << row.at.disc);
        player.Answer(kRequestDiscMode, 0);
        player.Answer(kRequestPlayerState, 0);
        nav.ShowList(row.at.mode);
        if (row.at.mode == Albums) {
            SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", "Rock", "A", "k2", "Jazz", "B"}));
            SendCopyData(Window(), kCopySelectAlbum, std::string("k1", 2));
        } else {
            SendTracks(5);
        }
        ASSERT_TRUE(IsWindowVisible(Window()));
        if (!row.at.visible) nav.HideNavigator();
        player.Answer(kRequestDiscMode, row.at.disc);
        player.Answer(kRequestPlayerState, row.at.playerState);
        player.Clear();

        EXPECT_EQ(row.result, nav.HandleCommand(row.command));
        EXPECT_EQ(row.sent, player.Commands());
        std::vector<PlayerMessage> requests = player.Requests();
        if (row.command < 1000 && !row.at.visible) {
            EXPECT_TRUE(player.Received().empty());  // refused before asking anything
        } else {
            // The state is asked first, in this order.
            std::vector<PlayerMessage> state = {Request(Window(), 128), Request(Window(), 20), Request(Window(), 130)};
            ASSERT_GE(requests.size(), 3u);
            EXPECT_EQ(state, std::vector<PlayerMessage>(requests.begin(), requests.begin() + 3));
        }
        bool asked = std::find(requests.begin(), requests.end(), Request(Window(), row.listAsked)) != requests.end();
        EXPECT_TRUE(row.listAsked == 0 || asked) << "list request " << row.listAsked;
        for (UINT list : {21u, 18u})
            if (list != row.listAsked) {
                EXPECT_EQ(requests.end(), std::find(requests.begin(), requests.end(), Request(Window(), list)));
            }
        EXPECT_EQ(row.visibleAfter, IsWindowVisible(Window()) != FALSE);
        KillTimer(Window(), 100);
    }
}

TEST_F(Commands, PagesRowsAndDigitsMoveTheSelection) {
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", 3);  // 18 per page, one column
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    Shown(100);
    ASSERT_EQ(18, nav.perPage);
    const struct {
        int command, selected, top;
    } steps[] = {{CMD_PAGE_DOWN, 18, 18}, {CMD_UP, 17, 17}, {CMD_PAGE_UP, 0, 0}, {CMD_DOWN, 1, 0}};
    for (const auto& step : steps) {
        nav.HandleCommand(step.command);
        EXPECT_EQ(step.selected, nav.selected) << step.command;
        EXPECT_EQ(step.top, nav.top) << step.command;
    }
    // A digit off the page centres its entry; past the end, the last; 0 is refused.
    nav.top = 50;
    nav.selected = 55;
    EXPECT_EQ(1, nav.SelectNumber(3));
    EXPECT_EQ(2, nav.selected);
    EXPECT_EQ(0, nav.top);
    SendTracks(3);
    EXPECT_EQ(1, nav.SelectNumber(5));
    EXPECT_EQ(2, nav.selected);
    EXPECT_EQ(0, nav.SelectNumber(0));
    EXPECT_TRUE(player.Commands().empty());
    // Hidden, the digit names the track to play.
    nav.HideNavigator();
    EXPECT_EQ(1, nav.SelectNumber(4));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(5105, 4, 0)}), player.Commands());
}

TEST_F(Commands, PlayerQueryDecidesCommand5104) {
    Shown(2);
    nav.HideNavigator();
    for (LRESULT answer : {LRESULT(526), LRESULT(527), LRESULT(529)}) {
        player.Answer(kRequestPlayerQuery, answer);
        nav.HandleCommand(CMD_HOST_5104_IF);
    }
    EXPECT_EQ((std::vector<PlayerMessage>{Command(5104, 0, 0), Command(5104, 0, 0)}), player.Commands());
}

TEST_F(Commands, SortRemembersTheSelectedPath) {
    Shown(5);
    nav.selected = 3;
    nav.HandleCommand(CMD_SORT);
    EXPECT_EQ("D:\\Video\\clip004.avi", nav.reselectPath);
    // The sorted list comes back with the same file selected where it now is.
    SendCopyData(Window(), kCopyTrackList, Tokens({"D:\\Video\\clip005.avi", "e", "q", "d:\\video\\CLIP004.AVI", "d", "q"}));
    EXPECT_EQ(1, nav.selected);
}

// OK shows the pressed entry for half a second, then hides and plays the track.
TEST_F(Commands, ChoosingWaitsThenPlays) {
    Shown(20);
    nav.SelectNumber(7);
    player.Clear();
    nav.HandleCommand(CMD_OK);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(player.Commands().empty());
    ASSERT_TRUE(PumpUntil([&] { return !player.Commands().empty(); }, 2000));
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(5105, 7, 0)}), player.Commands());
}

class Deleting : public Commands {
protected:
    void SetUp() override {
        a = folder.Write("a.avi", "a");
        folder.Write("a.smi", "s");
        folder.Write("a.smil", "l");
        b = folder.Write("b.avi", "b");
        Start();
        SendCopyData(Window(), kCopyTrackList, Tokens({b, "b", "q", a, "a", "q"}));
        nav.HandleCommand(CMD_RIGHT);  // a.avi
        PumpMessages(50);
        player.Clear();
    }
    TempFolder folder;
    std::string a, b;
};

TEST_F(Deleting, SecondPressDeletesTheFileAndItsSubtitles) {
    nav.HandleCommand(CMD_DELETE);
    EXPECT_TRUE(NavigatorWnd::DeletePending());
    WindowCapture box(Window(), WindowCapture::Source::Screen);
    int middle = box.Height() / 2;
    EXPECT_EQ(settings.colours[17], box.At(40, middle));
    EXPECT_EQ(settings.colours[17], box.At(43, middle));
    EXPECT_EQ(settings.colours[14], box.At(45, middle));
    Snapshot("delete-box", WindowCapture::Source::Screen);
    EXPECT_TRUE(FileExists(a.c_str()));

    nav.HandleCommand(CMD_DELETE);
    EXPECT_FALSE(FileExists(a.c_str()));
    EXPECT_FALSE(FileExists((folder / "a.smi").c_str()));
    EXPECT_FALSE(FileExists((folder / "a.smil").c_str()));
    EXPECT_TRUE(FileExists(b.c_str()));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandRefresh, 0, 0)}), player.Commands());

    // The player's new list: the position comes back, limited to the last entry.
    SendCopyData(Window(), kCopyTrackList, Tokens({b, "b", "q"}));
    EXPECT_EQ(0, nav.selected);
    EXPECT_FALSE(NavigatorWnd::DeletePending());
}

// Any other command, a digit too, answers the box: it cancels and is not carried out, and the box
// goes. Until then the box survives repaints.
TEST_F(Deleting, AnyOtherInputCancelsAndIsNotCarriedOut) {
    auto boxShows = [&] {
        WindowCapture shown(Window(), WindowCapture::Source::Screen);
        return shown.At(45, shown.Height() / 2) == settings.colours[14];
    };
    const std::function<void()> answers[] = {
        [&] { nav.HandleCommand(CMD_UP); },
        [&] { nav.HandleCommand(CMD_ESCAPE); },
        [&] { nav.SelectNumber(1); },
    };
    for (const auto& answer : answers) {
        nav.HandleCommand(CMD_DELETE);
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
        EXPECT_TRUE(boxShows()) << "a repaint erased the box of a pending delete";
        answer();
        EXPECT_FALSE(NavigatorWnd::DeletePending());
        EXPECT_FALSE(boxShows());
        EXPECT_EQ(1, nav.selected);
        EXPECT_TRUE(IsWindowVisible(Window()));
    }
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_TRUE(player.Commands().empty());
}

// The second press deletes only the file the box named, whatever is selected by then.
TEST_F(Deleting, TheSecondPressChecksThePathItShowed) {
    nav.HandleCommand(CMD_DELETE);
    nav.selected = 0;  // moved without a command: b
    nav.HandleCommand(CMD_DELETE);
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_TRUE(FileExists(b.c_str()));
    EXPECT_TRUE(player.Commands().empty());
}

TEST_F(Deleting, ATranslatedQuestionCannotMisuseTheNumber) {
    // A language pack whose question holds conversions other than %d.
    HMODULE pack = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, pack);
    ThisModuleState().resources = pack;
    nav.HandleCommand(CMD_DELETE);
    ThisModuleState().resources = ThisModuleState().instance;
    FreeLibrary(pack);
    EXPECT_TRUE(NavigatorWnd::DeletePending());
}

TEST_F(Deleting, HidingOrANewListBetweenThePressesCancels) {
    nav.HandleCommand(CMD_DELETE);
    nav.HideNavigator();
    nav.BringUp();
    nav.HandleCommand(CMD_DELETE);  // a first press again
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_TRUE(NavigatorWnd::DeletePending());

    SendCopyData(Window(), kCopyTrackList, Tokens({a, "a", "q", b, "b", "q"}));
    nav.selected = 1;  // now b
    nav.HandleCommand(CMD_DELETE);
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_TRUE(FileExists(b.c_str()));
}

TEST_F(Deleting, NothingToDeleteInAnEmptyListAlbumsOrDiscMode) {
    player.Answer(kRequestDiscMode, 1);
    EXPECT_EQ(1, nav.HandleCommand(CMD_DELETE));
    EXPECT_FALSE(NavigatorWnd::DeletePending());
    player.Answer(kRequestDiscMode, 0);
    SendCopyData(Window(), kCopyTrackList, std::string());
    EXPECT_EQ(1, nav.HandleCommand(CMD_DELETE));
    EXPECT_FALSE(NavigatorWnd::DeletePending());
    nav.ShowList(Albums);
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k", "n", "q"}));
    SendCopyData(Window(), kCopySelectAlbum, std::string("k", 1));
    nav.HandleCommand(CMD_DELETE);
    EXPECT_FALSE(NavigatorWnd::DeletePending());
}

TEST_F(Commands, MouseSelectsChoosesAndCloses) {
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    Shown(10);
    Geometry layout = nav.Layout();
    Rect cell = layout.ItemRect(4);
    LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(Window(), WM_MOUSEMOVE, 0, at);
    EXPECT_EQ(4, nav.hot);
    SendMessageA(Window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(-1, nav.hot);

    SendMessageA(Window(), WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-3 * WHEEL_DELTA)) << 16, 0);
    EXPECT_EQ(1, nav.selected);
    SendMessageA(Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(4, nav.selected);
    ASSERT_TRUE(PumpUntil([&] { return !player.Commands().empty(); }, 2000));
    EXPECT_EQ(Command(kCommandPlayTrack, 5, 0), player.Commands()[0]);

    nav.BringUp();
    Rect close = layout.CloseButtonRect();
    LPARAM onClose = MAKELPARAM(close.left + 2, close.top + 2);
    EXPECT_EQ(-13, nav.HitTest(close.left + 2, close.top + 2));
    EXPECT_EQ(-10, nav.HitTest(10, 5));
    SendMessageA(Window(), WM_MOUSEMOVE, 0, onClose);
    SendMessageA(Window(), WM_LBUTTONDOWN, MK_LBUTTON, onClose);
    EXPECT_TRUE(IsWindowVisible(Window()));
    SendMessageA(Window(), WM_LBUTTONUP, 0, onClose);
    EXPECT_FALSE(IsWindowVisible(Window()));
}
