// Steering the Navigator: movement, the dispatcher in both states, choosing, deleting, keys and
// the mouse, with the fake player recording every message.
#include "tests/navigator/NavigatorFixture.h"

#include "base/Files.h"
#include "base/ModuleState.h"
#include "navigator/Commands.h"
#include "tests/support/TempFolder.h"

TEST(Movement, OneColumnAtTheTop) {
    Move up = ComputeMoveBy(0, 0, -1, 10, 1, 6);
    EXPECT_FALSE(up.changed);
    EXPECT_FALSE(ComputeMoveBy(0, 0, -6, 10, 1, 6).changed);
    EXPECT_EQ(0, ComputeMoveHorizontal(0, -1, 10, 1));
    EXPECT_EQ(3, ComputeMoveHorizontal(3, 1, 10, 1));
}

TEST(Movement, FourColumnGridOfTenEntries) {
    EXPECT_EQ(9, ComputeMoveHorizontal(9, 1, 10, 4));  // no entry 10
    EXPECT_EQ(8, ComputeMoveHorizontal(9, -1, 10, 4));
    EXPECT_EQ(8, ComputeMoveHorizontal(8, -1, 10, 4));  // first column
    Move up = ComputeMoveBy(0, 9, -4, 10, 4, 24);
    EXPECT_EQ(5, up.selected);
    EXPECT_TRUE(up.onPage);
    Move down = ComputeMoveBy(0, 5, 4, 10, 4, 24);
    EXPECT_EQ(9, down.selected);
}

TEST(Movement, HundredEntriesEighteenPerPage) {
    Move down = ComputeMoveBy(0, 17, 1, 100, 1, 18);
    EXPECT_EQ(18, down.selected);
    EXPECT_EQ(1, down.top);
    EXPECT_FALSE(down.onPage);
    Move page = ComputeMoveBy(0, 0, 18, 100, 1, 18);
    EXPECT_EQ(18, page.selected);
    EXPECT_EQ(18, page.top);
    Move nearEnd = ComputeMoveBy(90, 95, 18, 100, 1, 18);
    EXPECT_EQ(99, nearEnd.selected);
    EXPECT_TRUE(nearEnd.onPage);  // top stays 90
    Move last = ComputeMoveBy(81, 98, 18, 100, 1, 18);
    EXPECT_EQ(99, last.selected);
    EXPECT_EQ(99, last.top);
    EXPECT_FALSE(ComputeMoveBy(0, 0, 5, 0, 1, 18).changed);  // empty list
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
    std::vector<PlayerMessage> StateRequests() const {
        return {Request(Window(), kRequestDiscMode), Request(Window(), kRequestPlayerState),
                Request(Window(), kRequestState130)};
    }
    void Key(UINT key) { SendMessageA(Window(), WM_KEYDOWN, key, 1); }
};

}  // namespace

TEST_F(Commands, EveryAcceptedCommandAsksTheStateFirst) {
    Shown(30);
    EXPECT_EQ(1, nav.HandleCommand(CMD_DOWN));
    EXPECT_EQ(StateRequests(), player.Requests());
    EXPECT_EQ(nav.columns, nav.selected);  // one row down the grid

    nav.HideNavigator();
    player.Clear();
    EXPECT_EQ(0, nav.HandleCommand(CMD_PAGE_DOWN));  // view-only command while hidden
    EXPECT_TRUE(player.Received().empty());
    EXPECT_EQ(0, nav.HandleCommand(CMD_HOME + 0));
    EXPECT_EQ(1, nav.HandleCommand(CMD_AUDIO));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(7030, 0, 0)}), player.Commands());
}

TEST_F(Commands, PagingRedrawsOnlyWhenThePageChanges) {
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", 3);  // 18 per page, one column
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    Shown(100);
    ASSERT_EQ(18, nav.perPage);
    nav.HandleCommand(CMD_PAGE_DOWN);
    EXPECT_EQ(18, nav.selected);
    EXPECT_EQ(18, nav.top);
    nav.HandleCommand(CMD_UP);  // off the page: the view scrolls by one row
    EXPECT_EQ(17, nav.selected);
    EXPECT_EQ(17, nav.top);
    nav.HandleCommand(CMD_PAGE_UP);
    EXPECT_EQ(0, nav.selected);
}

TEST_F(Commands, SelectNumberInBothStates) {
    Shown(3);
    EXPECT_EQ(1, nav.SelectNumber(5));
    EXPECT_EQ(2, nav.selected);
    EXPECT_EQ(0, nav.SelectNumber(0));
    EXPECT_TRUE(player.Commands().empty());
    nav.HideNavigator();
    EXPECT_EQ(1, nav.SelectNumber(0));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandPlayTrack, 0, 0)}), player.Commands());
}

TEST_F(Commands, SelectNumberOffThePageCentresIt) {
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    Shown(100);
    nav.top = 50;
    nav.selected = 55;
    nav.SelectNumber(3);
    EXPECT_EQ(2, nav.selected);
    EXPECT_EQ(0, nav.top);
}

TEST_F(Commands, EscapeAndOkDependOnTheState) {
    Shown(5);
    nav.HandleCommand(CMD_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_TRUE(player.Commands().empty());
    nav.HandleCommand(CMD_ESCAPE);
    nav.HandleCommand(CMD_OK);
    player.Answer(kRequestPlayerState, 2);
    nav.HandleCommand(CMD_OK);
    nav.HandleCommand(CMD_UP);
    nav.HandleCommand(CMD_LEFT);
    player.Answer(kRequestPlayerState, 0);
    nav.HandleCommand(CMD_RIGHT);
    nav.HandleCommand(CMD_DOWN);  // no key routing: nothing
    EXPECT_EQ((std::vector<PlayerMessage>{Command(5202, 0, 0), Command(5104, 0, 0), Command(7052, 13, 0),
                                          Command(7052, 38, 0), Command(7052, 37, 0), Command(5116, 0, 0)}),
              player.Commands());
}

TEST_F(Commands, ListSwitchingAndDiscMode) {
    Shown(5);
    player.Answer(kRequestDiscMode, 1);
    nav.HandleCommand(CMD_NEXT_LIST);
    EXPECT_TRUE(player.Commands().empty());
    nav.HideNavigator();
    nav.HandleCommand(CMD_PREV_LIST);
    EXPECT_TRUE(player.Commands().empty());
    nav.HandleCommand(CMD_DISC_MODE);
    nav.HandleCommand(CMD_HOST_5102);
    player.Answer(kRequestDiscMode, 0);
    nav.HandleCommand(CMD_DISC_MODE);
    nav.HandleCommand(CMD_PREV_LIST);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(7050, 0, 0), Command(5102, 0, 0), ModeSwitch(3), ModeSwitch(2),
                                          Command(5104, 0, 0), Command(kCommandNextList, -1, 3)}),
              player.Commands());
    EXPECT_EQ(static_cast<LPARAM>(0xFFFF1456), player.Commands().back().lParam);
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
    nav.HandleCommand(CMD_REFRESH);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandSort, 0, 3), Command(kCommandRefresh, 0, 3)}),
              player.Commands());
}

TEST_F(Commands, ChoosingHidesThenNamesTheTrack) {
    Shown(20);
    nav.SelectNumber(7);
    bool visibleWhenPlayed = true;
    player.Clear();
    nav.HandleCommand(CMD_OK);
    EXPECT_TRUE(IsWindowVisible(Window()));  // pressed look for 500 ms
    EXPECT_TRUE(player.Commands().empty());
    ASSERT_TRUE(PumpUntil([&] { return !player.Commands().empty(); }, 2000));
    visibleWhenPlayed = IsWindowVisible(Window()) != FALSE;
    EXPECT_FALSE(visibleWhenPlayed);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandPlayTrack, 7, 0)}), player.Commands());
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

TEST_F(Deleting, AnyOtherCommandCancelsAndIsNotCarriedOut) {
    nav.HandleCommand(CMD_DELETE);
    nav.HandleCommand(CMD_UP);
    EXPECT_EQ(1, nav.selected);
    EXPECT_FALSE(NavigatorWnd::DeletePending());
    nav.HandleCommand(CMD_DELETE);
    nav.HandleCommand(CMD_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(FileExists(a.c_str()));
    EXPECT_TRUE(player.Commands().empty());
}

TEST_F(Deleting, TheBoxStaysThroughRepaintsAndGoesWithADigit) {
    auto boxShows = [&] {
        WindowCapture shown(Window(), WindowCapture::Source::Screen);
        return shown.At(45, shown.Height() / 2) == settings.colours[14];
    };
    nav.HandleCommand(CMD_DELETE);
    InvalidateRect(Window(), nullptr, FALSE);
    UpdateWindow(Window());
    EXPECT_TRUE(boxShows()) << "a repaint erased the box of a pending delete";
    EXPECT_TRUE(NavigatorWnd::DeletePending());

    nav.SelectNumber(1);  // answers the box: cancels, and is not carried out
    EXPECT_FALSE(NavigatorWnd::DeletePending());
    EXPECT_FALSE(boxShows());
    EXPECT_EQ(1, nav.selected);
    nav.HandleCommand(CMD_DELETE);  // a first press again
    EXPECT_TRUE(FileExists(a.c_str()));
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

TEST_F(Deleting, NothingToDeleteInAnEmptyListOrAlbums) {
    SendCopyData(Window(), kCopyTrackList, std::string());
    EXPECT_EQ(1, nav.HandleCommand(CMD_DELETE));
    EXPECT_FALSE(NavigatorWnd::DeletePending());
    nav.ShowList(Albums);
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k", "n", "q"}));
    SendCopyData(Window(), kCopySelectAlbum, std::string("k", 1));
    nav.HandleCommand(CMD_DELETE);
    EXPECT_FALSE(NavigatorWnd::DeletePending());
}

TEST_F(Commands, KeysMapToCommands) {
    Shown(30);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    EXPECT_EQ(nav.columns + 1, nav.selected);
    Key(VK_HOME);
    EXPECT_EQ(nav.columns + 1, nav.selected);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Key(VK_NEXT);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandNextList, 1, 3)}), player.Commands());

    player.Clear();
    Key(VK_BACK);  // up one level: the album list
    EXPECT_EQ(Albums, nav.mode);
    EXPECT_EQ(Request(Window(), kRequestAlbumList), player.Requests().back());
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
