// The Navigator window's life: placement, start-up and the player's window.
#include "tests/support/NavigatorFixture.h"

#include <cstring>

#include "settings/Monitors.h"
#include "tests/support/ImportPatch.h"

using NavigatorWindow = NavigatorFixture;

namespace {

// The window's left and top on the screen, its width and its height.
std::vector<LONG> Placed(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

// A hidden topmost pop-up over the monitor less its margins, on the primary monitor when the stored
// one is gone; ShowList places it anew by the margins of that moment, negative ones included.
TEST_F(NavigatorWindow, CoversTheMonitorLessItsMargins) {
    registry.SetDword(HKEY_CURRENT_USER, "MarginX", 50);
    registry.SetDword(HKEY_CURRENT_USER, "MarginY", 20);
    LoadSettings();
    settings.monitor = 0x7FFF0001;
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    EXPECT_EQ(GetPrimaryMonitor(), settings.Monitor());
    RECT monitor = GetMonitorRect(GetPrimaryMonitor(), false);
    ASSERT_EQ(1920, monitor.right - monitor.left);  // the test display
    EXPECT_EQ((std::vector<LONG>{monitor.left + 50, monitor.top + 20, 1820, 1040}), Placed(Window()));

    LONG style = GetWindowLongA(Window(), GWL_STYLE), exStyle = GetWindowLongA(Window(), GWL_EXSTYLE);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP), style & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_VISIBLE));
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    char title[64];
    GetWindowTextA(Window(), title, sizeof(title));
    EXPECT_STREQ("Quillar Remote Plugin", title);

    settings.marginX = 30;
    settings.marginY = -10;
    SetWindowPos(Window(), nullptr, 5, 5, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    nav.ShowList(Tracks);
    EXPECT_EQ((std::vector<LONG>{monitor.left + 30, monitor.top - 10, 1860, 1100}), Placed(Window()));
    EXPECT_FALSE(IsWindowVisible(Window()));
}

namespace {

// The delayed start-up's registrations, found by name at run time, recorded in the order they run,
// each noting whether the player had been told the Navigator is ready.
std::vector<std::string> g_steps;
FakePlayer* g_player;
FARPROC(WINAPI* g_getProc)(HMODULE, LPCSTR);

void Step(const char* name) { g_steps.push_back(std::string(name) + (g_player->Requests().empty() ? "" : " late")); }
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

TEST_F(NavigatorWindow, StartsUpInOrderThenTellsThePlayer) {
    g_steps.clear();
    g_player = &player;
    ImportPatch patch("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(RecordingGetProcAddress));
    ASSERT_TRUE(patch.Applied());
    g_getProc = reinterpret_cast<FARPROC(WINAPI*)(HMODULE, LPCSTR)>(patch.Original());
    LoadSettings();
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    EXPECT_TRUE(player.Received().empty());  // later, from a timer
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    EXPECT_EQ((std::vector<std::string>{"shell hook", "sessions", "raw input"}), g_steps);
    EXPECT_EQ(Asks({990}), player.Requests());
    PumpMessages(250);  // the start-up runs once
    EXPECT_EQ(1u, player.Requests().size());
    EXPECT_EQ(3u, g_steps.size());
}

// The player's window by its class and title, else by its title alone; none at all answers 0.
// A command carries its value in the high half of lParam and its extra in wParam; a mode switch
// goes by a message of its own.
TEST(PlayerWindow, FoundByClassElseTitleAndCommandsPackTheirValue) {
    EXPECT_EQ(nullptr, FindPlayerWindow());
    EXPECT_EQ(0, SendRequest(nullptr, kRequestCurrentTrack));
    FakePlayer other(true);
    EXPECT_EQ(other.Handle(), FindPlayerWindow());
    SendRequest(nullptr, kRequestDiscMode);
    EXPECT_EQ(1u, other.Requests().size());
    FakePlayer player;
    EXPECT_EQ(player.Handle(), FindPlayerWindow());  // the player's class wins

    SendPlayerCommand(kCommandPlayTrack, 12, 0);
    SendModeSwitch(kFileMode);
    EXPECT_EQ((Messages{{0x82E5, 0, 0x000C13F1}, {0x82EE, 3, 0}}), player.Commands());
}
