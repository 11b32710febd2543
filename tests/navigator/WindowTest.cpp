// The Navigator window's life: placement, start-up, painting frame, bringing up and hiding.
#include "tests/navigator/NavigatorFixture.h"

#include <cstring>

#include "plugin/Monitors.h"
#include "tests/support/ImportPatch.h"

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

namespace {

// The delayed start-up's registrations, found by name at run time, recorded in the order they run,
// each noting whether the player had been told the Navigator is ready.
std::vector<std::string>* g_steps;
FakePlayer* g_player;
FARPROC(WINAPI* g_getProc)(HMODULE, LPCSTR);

void Step(const char* name) { g_steps->push_back(std::string(name) + (g_player->Requests().empty() ? "" : " late")); }
BOOL WINAPI ShellHook(HWND) { return Step("shell hook"), TRUE; }
BOOL WINAPI Sessions(HWND, DWORD) { return Step("sessions"), TRUE; }
BOOL WINAPI RawInput(PCRAWINPUTDEVICE, UINT, UINT) { return Step("raw input"), TRUE; }

FARPROC WINAPI RecordingGetProcAddress(HMODULE module, LPCSTR name) {
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name))) {
        void* fake = !strcmp(name, "RegisterShellHookWindow")          ? reinterpret_cast<void*>(ShellHook)
                     : !strcmp(name, "WTSRegisterSessionNotification") ? reinterpret_cast<void*>(Sessions)
                     : !strcmp(name, "RegisterRawInputDevices")        ? reinterpret_cast<void*>(RawInput)
                                                                       : nullptr;
        if (fake) return reinterpret_cast<FARPROC>(reinterpret_cast<INT_PTR>(fake));
    }
    return g_getProc(module, name);
}

}  // namespace

TEST_F(NavigatorWindow, StartsUpInOrderThenTellsThePlayerAndTellsItWhenClosing) {
    std::vector<std::string> steps;
    g_steps = &steps;
    g_player = &player;
    ImportPatch patch("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(RecordingGetProcAddress));
    ASSERT_TRUE(patch.Applied());
    g_getProc = reinterpret_cast<FARPROC(WINAPI*)(HMODULE, LPCSTR)>(patch.Original());
    LoadSettings();
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    HWND window = Window();
    EXPECT_TRUE(player.Received().empty());  // later, from a timer
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    EXPECT_EQ((std::vector<std::string>{"shell hook", "sessions", "raw input"}), steps);
    EXPECT_EQ((std::vector<PlayerMessage>{Request(window, 990)}), player.Requests());
    PumpMessages(250);  // the start-up runs once
    EXPECT_EQ(1u, player.Requests().size());
    EXPECT_EQ(3u, steps.size());

    player.Clear();
    nav.DestroyWindow();
    EXPECT_EQ((std::vector<PlayerMessage>{Request(window, 991)}), player.Requests());
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

// The skin covers the window below the header; without it, colour 0 does.
TEST_F(NavigatorWindow, MissingBackgroundFallsBackToColourZero) {
    Start();
    EXPECT_NE(settings.colours[0], WindowCapture(Window()).At(960, 600));
    nav.skin[kSkinBackground].Destroy();
    WindowCapture capture(Window());
    EXPECT_EQ(settings.colours[0], capture.At(960, 600));
}
