// The remotes, the hot key, sessions and helper processes, through the real window: reports,
// application commands, shell-hook events and Streamzap buttons go in as the system would send
// them, and what the player receives comes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "input/ProcessList.h"
#include "input/RemoteInput.h"
#include "navigator/Commands.h"
#include "plugin/RembrixApp.h"
#include "tests/navigator/NavigatorFixture.h"
#include "tests/support/Windows.h"

namespace {

std::vector<uint8_t> g_report;

// Stands in for GetRawInputData: hands out the report the test put in g_report.
UINT WINAPI FakeReader(HRAWINPUT, UINT command, LPVOID data, PUINT size, UINT headerSize) {
    if (command != RID_INPUT || headerSize != sizeof(RAWINPUTHEADER)) return static_cast<UINT>(-1);
    if (!data) {
        *size = static_cast<UINT>(g_report.size());
        return 0;
    }
    if (*size < g_report.size()) return static_cast<UINT>(-1);
    memcpy(data, g_report.data(), g_report.size());
    return static_cast<UINT>(g_report.size());
}

void SetReport(DWORD type, DWORD sizeHid, std::vector<uint8_t> bytes) {
    RAWINPUTHEADER header = {};
    header.dwType = type;
    DWORD hid[2] = {sizeHid, 1};
    g_report.assign(sizeof(header) + sizeof(hid), 0);
    memcpy(g_report.data(), &header, sizeof(header));
    memcpy(g_report.data() + sizeof(header), hid, sizeof(hid));
    g_report.insert(g_report.end(), bytes.begin(), bytes.end());
}

// A stand-in helper program, ended with the test.
class Helper {
public:
    explicit Helper(const std::string& relativePath) {
        std::string command = "\"" + ProgramFolder() + relativePath + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        running_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_) != FALSE;
        if (running_) WaitForInputIdle(process_.hProcess, 1000);
    }
    ~Helper() {
        if (!running_) return;
        TerminateProcess(process_.hProcess, 0);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    bool Running() const { return running_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION process_ = {};
    bool running_ = false;
};

// Processes whose executable path ends in `name` (any case), ended on request.
int CountProcesses(const char* name, bool end = false) {
    int found = 0;
    ProcessList processes;
    if (!processes.TakeSnapshot()) return 0;
    for (size_t i = 0; i < processes.Count(); ++i) {
        std::string path;
        if (processes.GetCurrentName(path) && path.size() >= strlen(name) &&
            _stricmp(path.c_str() + path.size() - strlen(name), name) == 0) {
            ++found;
            if (end)
                if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processes.CurrentId())) {
                    TerminateProcess(p, 0);
                    WaitForSingleObject(p, 2000);
                    CloseHandle(p);
                }
        }
        processes.Next(1);
    }
    return found;
}

class RemoteInput : public NavigatorFixture {
protected:
    void SetUp() override { g_rawInputReader = FakeReader; }
    void TearDown() override { g_rawInputReader = nullptr; }
    void Shown() {
        Start();
        SendTracks(12);
        ASSERT_TRUE(IsWindowVisible(Window()));
        player.Clear();
    }
    LRESULT Raw() { return SendMessageA(Window(), WM_INPUT, RIM_INPUTSINK, 0x1234); }
    LRESULT AppCommand(int command) {
        return SendMessageA(Window(), WM_APPCOMMAND, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(0, command));
    }
    LRESULT ShellHook(WPARAM event, int command) {
        return SendMessageA(Window(), nav.shellHookMessage, event, MAKELPARAM(0, command));
    }
    LRESULT Streamzap(WPARAM code) { return SendMessageA(Window(), g_streamzapMessage, code, 0); }
};

}  // namespace

TEST_F(RemoteInput, DevicesAreRegisteredAsInputSinksOfTheWindow) {
    Start();
    RAWINPUTDEVICE devices[8];
    UINT count = 8;
    ASSERT_EQ(2u, GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)));
    std::sort(devices, devices + 2, [](const RAWINPUTDEVICE& a, const RAWINPUTDEVICE& b) {
        return a.usUsagePage > b.usUsagePage;
    });
    EXPECT_EQ(0xFFBC, devices[0].usUsagePage);
    EXPECT_EQ(0x88, devices[0].usUsage);
    EXPECT_EQ(0x0C, devices[1].usUsagePage);
    EXPECT_EQ(0x01, devices[1].usUsage);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(static_cast<DWORD>(RIDEV_INPUTSINK), devices[i].dwFlags);
        EXPECT_EQ(Window(), devices[i].hwndTarget);
    }

    RAWINPUTDEVICE sinkWithoutWindow = {0x0C, 0x01, RIDEV_INPUTSINK, nullptr};
    EXPECT_FALSE(ValidRawInputDevices(&sinkWithoutWindow, 1, sizeof(RAWINPUTDEVICE)));
    EXPECT_FALSE(ValidRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE) + 4));
    EXPECT_TRUE(ValidRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)));
}

TEST_F(RemoteInput, RawButtonsReachTheDispatcher) {
    Shown();
    SetReport(RIM_TYPEHID, 3, {0x03, 0x09, 0x02});  // MORE: sort while shown
    EXPECT_EQ(0, Raw());
    EXPECT_EQ((std::vector<PlayerMessage>{Command(kCommandSort, 0, 3)}), player.Commands());

    nav.HideNavigator();
    player.Clear();
    SendMessageA(Window(), WM_INPUT, RIM_INPUTSINK, 0x1234);  // MORE again: audio while hidden
    player.Answer(kRequestDiscMode, 1);
    SetReport(RIM_TYPEHID, 2, {0x03, 0x48});  // RECORDED TV: file mode
    Raw();
    EXPECT_EQ((std::vector<PlayerMessage>{Command(7030, 0, 0), ModeSwitch(3)}), player.Commands());
}

TEST_F(RemoteInput, RawReportsThatMeanNothingAreDropped) {
    Shown();
    for (auto report : {std::make_pair(3u, std::vector<uint8_t>{0x03, 0x48, 0x01}),  // code 0x148
                        std::make_pair(1u, std::vector<uint8_t>{0x03})}) {          // too short
        SetReport(RIM_TYPEHID, report.first, report.second);
        Raw();
    }
    SetReport(RIM_TYPEKEYBOARD, 2, {0x03, 0x48});
    Raw();
    SetReport(RIM_TYPEHID, 2, {0x03, 0x48});
    g_report.pop_back();  // a report cut short of its own size
    Raw();
    EXPECT_TRUE(player.Received().empty());
}

TEST_F(RemoteInput, DisabledPluginIgnoresAllThreeRoads) {
    Shown();
    settings.activate = 0;
    SetReport(RIM_TYPEHID, 2, {0x03, 0x14});
    EXPECT_EQ(0, Raw());
    EXPECT_EQ(0, AppCommand(51));
    EXPECT_EQ(0, ShellHook(12, 51));
    EXPECT_EQ(0, Streamzap(19));
    EXPECT_TRUE(player.Received().empty());
    EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(RemoteInput, ApplicationCommandsWhileShownAndHidden) {
    Shown();
    EXPECT_EQ(1, AppCommand(10));  // volume up: kept from the player while shown
    EXPECT_TRUE(player.Commands().empty());
    EXPECT_EQ(1, AppCommand(51));
    EXPECT_EQ(Command(kCommandNextList, 1, 3), player.Commands()[0]);
    nav.HideNavigator();
    player.Clear();
    AppCommand(10);  // hidden: left to others
    AppCommand(51);
    EXPECT_TRUE(player.Received().empty());
}

TEST_F(RemoteInput, ForegroundElsewhereSilencesTheShellHook) {
    Shown();
    ForgetKeyboardProgramScan();
    EXPECT_EQ(1, ShellHook(12, 10));
    EXPECT_EQ(0, ShellHook(5, 10));  // another shell event
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    if (GetForegroundWindow() == Window()) {
        DestroyWindow(other);
        GTEST_SKIP() << "the other window could not take the foreground";
    }
    EXPECT_EQ(1, AppCommand(10));  // still mapped
    EXPECT_EQ(0, nav.appCommandHookEnabled);
    EXPECT_EQ(0, ShellHook(12, 10));
    DestroyWindow(other);
}

TEST_F(RemoteInput, KeyboardProgramSilencesTheShellHookButNotInCapitals) {
    Shown();
    {
        Helper capitals("caps\\Type32.exe");
        ASSERT_TRUE(capitals.Running());
        ForgetKeyboardProgramScan();
        EXPECT_EQ(1, ShellHook(12, 10));
        EXPECT_EQ(1, nav.appCommandHookEnabled);
    }
    Helper keyboard("type32.exe");
    ASSERT_TRUE(keyboard.Running());
    ForgetKeyboardProgramScan();
    EXPECT_EQ(0, ShellHook(12, 10));
    EXPECT_EQ(0, nav.appCommandHookEnabled);
}

TEST_F(RemoteInput, DisconnectedConsoleLeavesApplicationCommandsToTheSystem) {
    Shown();
    ForgetKeyboardProgramScan();
    SetForegroundWindow(Window());
    SendMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, 1);
    EXPECT_EQ(1, nav.consoleDisconnected);
    SendMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
    EXPECT_EQ(1, nav.consoleDisconnected);
    EXPECT_EQ(0, AppCommand(51));
    EXPECT_TRUE(player.Received().empty());
    if (nav.appCommandHookEnabled) {  // the shell hook still maps
        EXPECT_EQ(1, ShellHook(12, 51));
        EXPECT_FALSE(player.Commands().empty());
    }
    SendMessageA(Window(), WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, 1);
    EXPECT_EQ(0, nav.consoleDisconnected);
}

TEST_F(RemoteInput, StreamzapButtonsInBothStates) {
    Shown();
    EXPECT_EQ(0, Streamzap(9));
    EXPECT_EQ(0, Streamzap(35));
    EXPECT_EQ(1, Streamzap(25));
    EXPECT_EQ(4, nav.selected);
    EXPECT_EQ(0, Streamzap(30));  // digit 0 on the shown window
    EXPECT_EQ(1, Streamzap(8));
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_TRUE(player.Commands().empty());
    Streamzap(8);
    Streamzap(25);
    Streamzap(30);
    EXPECT_EQ((std::vector<PlayerMessage>{Command(5102, 0, 0), Command(kCommandPlayTrack, 5, 0),
                                          Command(kCommandPlayTrack, 0, 0)}),
              player.Commands());
    player.Clear();
    Streamzap(19);  // MENU: the Navigator
    EXPECT_EQ(Request(Window(), kRequestTrackList), player.Requests().back());
}

TEST_F(RemoteInput, HotKeyShowsTheNavigatorEvenWhenDisabled) {
    registry.SetDword(HKEY_CURRENT_USER, "HotKey", 0x00030041);  // Ctrl+Shift+A
    registry.SetDword(HKEY_CURRENT_USER, "Activate", 0);
    Start();
    auto press = [] {
        INPUT keys[6] = {};
        WORD codes[3] = {VK_CONTROL, VK_SHIFT, 'A'};
        for (int i = 0; i < 3; ++i) {
            keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = keys[5 - i].ki.wVk = codes[i];
            keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
        }
        SendInput(6, keys, sizeof(INPUT));
    };
    press();
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), kRequestDiscMode), Request(Window(), kRequestTrackList)}),
              player.Requests());
    SendMessageA(Window(), WM_HOTKEY, 2, 0);  // another id: nothing

    settings.hotKey = 0;
    nav.ApplySettings();
    player.Clear();
    press();
    PumpMessages(200);
    EXPECT_TRUE(player.Requests().empty());
    EXPECT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_SHIFT, 'A'));  // free again
    UnregisterHotKey(nullptr, 7);
}

BOOL WINAPI FailingModuleWalk(HANDLE, HMODULE*, DWORD, DWORD*) {
    SetLastError(ERROR_PARTIAL_COPY);  // what a 32-bit process gets from a 64-bit one
    return FALSE;
}

TEST_F(RemoteInput, MediaCenterTrayIsStoppedAndStartedAgain) {
    struct Case {
        const char* program;
        bool walkFails;
    } cases[] = {{"ehtray.exe", false}, {"caps\\EHTRAY.EXE", false}, {"ehtray.exe", true}};
    for (const Case& c : cases) {
        const char* program = c.program;
        SCOPED_TRACE(program + std::string(c.walkFails ? ", module walk failing" : ""));
        SetModuleWalk(c.walkFails ? FailingModuleWalk : nullptr);
        Helper tray(program);
        ASSERT_TRUE(tray.Running());
        LoadSettings();
        NavigatorWnd window;
        ASSERT_TRUE(window.CreateNavigator(&settings));
        ASSERT_TRUE(PumpUntil([&] { return !tray.Running(); }, 3000));  // stopped by the start-up
        std::string expected = ProgramFolder() + program;
        for (char& c : expected) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(expected, window.stoppedTrayProcessPath);

        settings.activate = 0;  // disabled: started again from the remembered path
        window.ApplySettings();
        EXPECT_TRUE(window.stoppedTrayProcessPath.empty());
        EXPECT_TRUE(PumpUntil([&] { return CountProcesses("ehtray.exe") == 1; }, 3000));
        settings.activate = 1;
        window.ApplySettings();
        EXPECT_TRUE(PumpUntil([&] { return CountProcesses("ehtray.exe") == 0; }, 3000));
        window.DestroyWindow();  // closing: started again
        EXPECT_TRUE(PumpUntil([&] { return CountProcesses("ehtray.exe") == 1; }, 3000));
        CountProcesses("ehtray.exe", true);
    }
    SetModuleWalk(nullptr);
}
