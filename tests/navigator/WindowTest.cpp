// The Navigator window's life: placement and start-up.
#include "tests/support/NavigatorFixture.h"

#include <cstring>
#include <tuple>

#include "settings/Monitors.h"
#include "tests/support/ImportPatch.h"

using NavigatorWindow = NavigatorFixture;

// A hidden topmost pop-up on the primary monitor when the stored one is gone; ShowList places it
// over the monitor less the margins of that moment, negative ones included.
TEST_F(NavigatorWindow, CoversTheMonitorLessItsMargins) {
    LoadSettings();
    settings.monitor = 0x7FFF0001;
    ASSERT_TRUE(nav.CreateNavigator(&settings));
    EXPECT_EQ(GetPrimaryMonitor(), settings.Monitor());
    LONG style = GetWindowLongA(Window(), GWL_STYLE), exStyle = GetWindowLongA(Window(), GWL_EXSTYLE);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP), style & (WS_POPUP | WS_CAPTION | WS_BORDER | WS_VISIBLE));
    EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));

    settings.marginX = 30;
    settings.marginY = -10;
    SetWindowPos(Window(), nullptr, 5, 5, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    nav.ShowList(Tracks);
    RECT monitor = GetMonitorRect(GetPrimaryMonitor(), false), placed;
    GetWindowRect(Window(), &placed);
    EXPECT_EQ(std::make_tuple(monitor.left + 30, monitor.top - 10, monitor.right - 30, monitor.bottom + 10),
              std::make_tuple(placed.left, placed.top, placed.right, placed.bottom));
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
}
