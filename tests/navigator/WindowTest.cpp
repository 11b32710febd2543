// The Navigator window's life: placement, start-up, painting frame, bringing up and hiding.
#include "tests/navigator/NavigatorFixture.h"

#include "plugin/Monitors.h"

using NavigatorWindow = NavigatorFixture;

TEST_F(NavigatorWindow, CoversTheMonitorLessItsMargins) {
    registry.SetDword(HKEY_CURRENT_USER, "MarginX", 50);
    registry.SetDword(HKEY_CURRENT_USER, "MarginY", 20);
    Start();
    RECT monitor = GetMonitorRect(GetPrimaryMonitor(), false);
    ASSERT_EQ(1920, monitor.right - monitor.left);  // the test display
    RECT rect;
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(monitor.left + 50, rect.left);
    EXPECT_EQ(monitor.top + 20, rect.top);
    EXPECT_EQ(1820, rect.right - rect.left);
    EXPECT_EQ(1040, rect.bottom - rect.top);

    LONG style = GetWindowLongA(Window(), GWL_STYLE), exStyle = GetWindowLongA(Window(), GWL_EXSTYLE);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP), style & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_VISIBLE));
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    char title[64];
    GetWindowTextA(Window(), title, sizeof(title));
    EXPECT_STREQ("Quillar Remote Plugin", title);
}

TEST_F(NavigatorWindow, StaleMonitorFallsBackToThePrimaryAndIsStored) {
    LoadSettings();
    settings.monitor = 0x7FFF0001;  // a display that is gone
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    EXPECT_EQ(GetPrimaryMonitor(), settings.Monitor());
    RECT rect;
    GetWindowRect(Window(), &rect);
    RECT monitor = GetMonitorRect(GetPrimaryMonitor(), false);
    EXPECT_EQ(monitor.right - monitor.left, rect.right - rect.left);
}

TEST_F(NavigatorWindow, TellsThePlayerWhenReadyAndWhenClosing) {
    LoadSettings();
    DWORD created = GetTickCount();
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    HWND window = Window();
    EXPECT_TRUE(player.Received().empty());
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    EXPECT_EQ((std::vector<PlayerMessage>{Request(window, kRequestNavigatorReady)}), player.Requests());
    DWORD delay = player.Requests()[0].tick - created;
    EXPECT_GE(delay, 80u);
    EXPECT_LT(delay, 600u);
    PumpMessages(250);  // the start-up timer runs once
    EXPECT_EQ(1u, player.Requests().size());

    player.Clear();
    nav.DestroyWindow();
    EXPECT_EQ((std::vector<PlayerMessage>{Request(window, kRequestNavigatorClosing)}), player.Requests());
}

TEST(PlayerWindow, FoundByTitleAloneWhenTheClassIsMissing) {
    FakePlayer other(true);
    EXPECT_EQ(other.Handle(), FindPlayerWindow());
    EXPECT_EQ(0, SendRequest(nullptr, kRequestDiscMode));
    ASSERT_EQ(1u, other.Requests().size());

    FakePlayer real;
    EXPECT_EQ(real.Handle(), FindPlayerWindow());  // the player's class wins
}

TEST(PlayerWindow, AbsentPlayerAnswersZero) {
    EXPECT_EQ(nullptr, FindPlayerWindow());
    EXPECT_EQ(0, SendRequest(nullptr, kRequestCurrentTrack));
    SendPlayerCommand(kCommandPlayTrack, 3, 0);  // goes nowhere, harmlessly
}

TEST(PlayerWindow, CommandsPackTheValueIntoTheHighHalf) {
    FakePlayer player;
    SendPlayerCommand(kCommandNextList, -1, kExtraList);
    SendPlayerCommand(kCommandPlayTrack, 12, 0);
    SendModeSwitch(kFileMode);
    ASSERT_EQ(3u, player.Commands().size());
    EXPECT_EQ(static_cast<LPARAM>(0xFFFF1456), player.Commands()[0].lParam);
    EXPECT_EQ(3u, player.Commands()[0].wParam);
    EXPECT_EQ(static_cast<LPARAM>(0x000C13F1), player.Commands()[1].lParam);
    EXPECT_EQ(0u, player.Commands()[1].wParam);
    EXPECT_EQ(ModeSwitch(3), player.Commands()[2]);
}

TEST_F(NavigatorWindow, ChoosingTrackTwelveHidesThenPlaysIt) {
    Start();
    SendTracks(20);
    ASSERT_TRUE(IsWindowVisible(Window()));
    nav.selected = 11;
    player.Clear();
    SendMessageA(Window(), WM_TIMER, kTimerChoose, 0);
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandPlayTrack, 12, 0)}), player.Commands());
    EXPECT_EQ(static_cast<LPARAM>(0x000C13F1), player.Commands()[0].lParam);
}

TEST_F(NavigatorWindow, ChoosingAnAlbumOpensItAndAsksForItsTracks) {
    Start();
    nav.ShowList(Albums);
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", "Blue", "Miles", "k2", "Kind", "Miles"}));
    nav.selected = 1;
    player.Clear();
    SendMessageA(Window(), WM_TIMER, kTimerChoose, 0);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandOpenAlbum, 1, kExtraList)}), player.Commands());
    EXPECT_EQ(Tracks, nav.mode);
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), kRequestDiscMode), Request(Window(), kRequestTrackList)}),
              player.Requests());

    // An empty album list still switches to the tracks.
    nav.ShowList(Albums);
    player.Clear();
    SendMessageA(Window(), WM_TIMER, kTimerChoose, 0);
    EXPECT_TRUE(player.Commands().empty());
    EXPECT_EQ(Tracks, nav.mode);
}

TEST_F(NavigatorWindow, EmptyWindowPaintsSkinBackgroundBorderAndHeader) {
    Start();
    nav.BringUp();
    EXPECT_TRUE(IsWindowVisible(Window()));
    WindowCapture capture(Window());
    ASSERT_EQ(1920, capture.Width());
    ASSERT_EQ(1080, capture.Height());
    EXPECT_EQ(settings.colours[17], capture.At(0, 0));  // the double frame
    EXPECT_EQ(settings.colours[17], capture.At(1, 500));
    EXPECT_EQ(settings.colours[17], capture.At(1919, 1079));
    // The header band in colour 12 below its frames, the skin below the header.
    int header = (1080 - 4) / 25;
    EXPECT_EQ(settings.colours[12], capture.At(10, header / 2));
    EXPECT_NE(settings.colours[0], capture.At(960, 600));
    Snapshot("empty_navigator");

    nav.HideNavigator();
    EXPECT_FALSE(IsWindowVisible(Window()));
}

TEST_F(NavigatorWindow, MissingBackgroundFallsBackToColourZero) {
    Start();
    nav.skin[kSkinBackground].Destroy();
    WindowCapture capture(Window());
    EXPECT_EQ(settings.colours[0], capture.At(960, 600));
}
