// The remotes, the keyboard, the hot key, sessions and helper processes through the real window:
// input goes in as the system would send it, and what the player receives comes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <process.h>
#include <windows.h>
#include <tlhelp32.h>

#include "input/ProcessList.h"
#include "input/RemoteControlHooks.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/Windows.h"

namespace {

// Stands in for GetRawInputData: hands out the report the test put in g_report.
std::vector<uint8_t> g_report;
UINT WINAPI FakeReader(HRAWINPUT, UINT command, LPVOID data, PUINT size, UINT headerSize) {
    const UINT n = static_cast<UINT>(g_report.size());
    if (command != RID_INPUT || headerSize != sizeof(RAWINPUTHEADER) || (data && *size < n)) return UINT(-1);
    if (!data) *size = n;
    if (data) memcpy(data, g_report.data(), n);
    return data ? n : 0;
}

BOOL WINAPI FailingModuleWalk(HANDLE, HMODULE*, DWORD, DWORD*) {
    SetLastError(ERROR_PARTIAL_COPY);  // what a 32-bit process gets from a 64-bit one
    return FALSE;
}

void End(HANDLE process) {
    if (TerminateProcess(process, 0)) WaitForSingleObject(process, 2000);
    CloseHandle(process);
}
bool Running(HANDLE process) { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// Starts a stand-in helper program, ended with what is returned.
std::unique_ptr<void, void (*)(HANDLE)> Launch(const std::string& relativePath) {
    std::string file = ProgramFolder() + relativePath;
    intptr_t process = _spawnl(_P_NOWAIT, file.c_str(), file.c_str(), nullptr);
    return {process == -1 ? nullptr : reinterpret_cast<HANDLE>(process), End};
}

// Running processes whose executable ends in `name` (any case), ended on request.
int CountProcesses(const char* name, bool end = false) {
    int found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        size_t length = strlen(entry.szExeFile);  // a file name, or a path on some systems
        if (length < strlen(name) || _stricmp(entry.szExeFile + length - strlen(name), name) != 0) continue;
        ++found;
        if (end) End(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    }
    CloseHandle(snapshot);
    return found;
}

// Inputs: raw reports of 3 bytes (code in bytes 1 and 2), from a keyboard; application commands; Streamzap codes.
constexpr unsigned kWide = 0x10000, kKeyboard = 0x20000, kApp = 0x100000, kZap = 0x200000;

// One input with the Navigator shown or hidden and the player in disc mode
// or not, and what follows: the sender's result, the selection afterwards (-1: hidden), and every
// message the player receives. Ignored: the sender gets 0, the player nothing, the selection stays.
// WM_INPUT's result is always 0.
using Sequence = std::vector<PlayerMessage>;
struct Case { unsigned input; bool shown, disc; LRESULT ret; int after; Sequence want; };
Case Hidden(unsigned input, Sequence want, bool disc = false) { return {input, false, disc, 1, -1, want}; }
Case Shown(unsigned input, int after, Sequence want) { return {input, true, false, 1, after, want}; }
Case Ignored(unsigned input, bool shown = false) { return {input, shown, false, 0, shown ? 19 : -1, {}}; }
PlayerMessage C(UINT code, int value = 0, WPARAM extra = 0) { return Command(code, value, extra); }

class RemoteInput : public NavigatorFixture {
protected:
    void SetUp() override { g_rawInputReader = FakeReader; }
    void TearDown() override { g_rawInputReader = nullptr; }
    PlayerMessage R(UINT code) const { return Request(Window(), code); }
    // The state requests (128, 20, 130) of every command the dispatcher takes, then `then`.
    template <typename... Then>
    Sequence S(Then... then) const { return {R(128), R(20), R(130), then...}; }
    LRESULT Raw(DWORD type, DWORD sizeHid, const std::vector<uint8_t>& bytes) {
        struct { RAWINPUTHEADER header; DWORD hid[2]; } head = {{type, 0, nullptr, 0}, {sizeHid, 1}};
        g_report.assign(reinterpret_cast<uint8_t*>(&head), reinterpret_cast<uint8_t*>(&head + 1));
        g_report.insert(g_report.end(), bytes.begin(), bytes.end());
        return SendMessageA(Window(), WM_INPUT, RIM_INPUTSINK, 0x1234);
    }
    LRESULT AppCommand(unsigned v) { return SendMessageA(Window(), WM_APPCOMMAND, 0, MAKELPARAM(0, v)); }
    LRESULT ShellHook(WPARAM e, int v) {
        return SendMessageA(Window(), RegisterWindowMessageA("ShellHook"), e, MAKELPARAM(0, v));
    }
    // The driver posts its buttons with the message registered under this name.
    LRESULT Streamzap(WPARAM code) {
        return SendMessageA(Window(), RegisterWindowMessageA("3E4CA449-C26F-47c6-A124-D66589CFA12F"), code, 0);
    }
};

}  // namespace

// Each road carries its code to the dispatcher in the state of the moment (the codes themselves:
// RemoteCodesTest; the dispatcher: CommandTest). Disabled, every remote is ignored.
TEST_F(RemoteInput, EachRemoteRoad) {
    Start();
    const Case cases[] = {
        Hidden(0x14, S(R(128), R(21))),                     // raw: the Navigator
        Hidden(kWide | 0x209, S(C(7030))),                  // raw MORE in a 3-byte report: audio
        Ignored(kKeyboard | 0x14, true),                    // raw, not HID
        Shown(kApp | 14, -1, S(C(5105, 20))),               // play/pause: the selected track plays
        Shown(kApp | 9, 19, S()),                           // volume: consumed, kept from the player
        Ignored(kApp | 51),                                 // hidden: left to others
        Hidden(kZap | 8, S(C(5102), ModeSwitch(3)), true),  // Streamzap 8 hidden in disc mode
        Shown(kZap | 25, 4, {}),                            // digit 5 shown: selects the fifth
    };
    // On a fresh list of 40 tracks (3 columns, 18 a page) with the 20th current.
    player.Answer(8, 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "input 0x" << std::hex << c.input << (c.shown ? " shown" : " hidden"));
        SendTracks(40);
        if (!c.shown) nav.HideNavigator();
        player.Answer(128, c.disc);
        player.Clear();
        std::vector<uint8_t> bytes = {0x03, static_cast<uint8_t>(c.input), static_cast<uint8_t>(c.input >> 8)};
        if (!(c.input & kWide)) bytes.pop_back();
        LRESULT ret = c.input & kApp ? AppCommand(c.input & 0xFFFF)
                      : c.input & kZap ? Streamzap(c.input & 0xFFFF)
                      : Raw(c.input & kKeyboard ? RIM_TYPEKEYBOARD : RIM_TYPEHID, DWORD(bytes.size()), bytes);
        EXPECT_EQ(c.input & (kApp | kZap) ? c.ret : 0, ret);
        PumpUntil([&] { return player.Received() == c.want; }, 1500);  // choosing waits for its timer
        EXPECT_EQ(c.want, player.Received());
        EXPECT_EQ(c.after, IsWindowVisible(Window()) ? nav.List().Selected() : -1);
    }
    RAWINPUTDEVICE devices[8];
    UINT count = 8;  // both devices reach the window while it is hidden or behind others
    ASSERT_EQ(2u, GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)));
    std::sort(devices, devices + 2, [](auto& a, auto& b) { return a.usUsagePage > b.usUsagePage; });
    const RAWINPUTDEVICE want[2] = {{0xFFBC, 0x88, RIDEV_INPUTSINK, Window()}, {0x0C, 0x01, RIDEV_INPUTSINK, Window()}};
    EXPECT_EQ(0, memcmp(want, devices, sizeof(want)));
    settings.activate = 0;
    EXPECT_EQ(0, Raw(RIM_TYPEHID, 2, {0x03, 0x14}));
    EXPECT_EQ(0, AppCommand(51));
    EXPECT_EQ(0, ShellHook(12, 51));
    for (WPARAM code : {0, 8, 19, 21, 34}) EXPECT_EQ(0, Streamzap(code)) << code;
    EXPECT_TRUE(player.Received().empty());
    EXPECT_TRUE(IsWindowVisible(Window()));
}

// A disconnected console leaves application commands to the system, not the hook; the keyboard
// program, by its name as written, silences the hook for good.
TEST_F(RemoteInput, TheConsoleAndTheKeyboardProgram) {
    Start();
    SendTracks(12);
    auto session = [&](WPARAM event) { SendMessageA(Window(), WM_WTSSESSION_CHANGE, event, 1); };
    session(WTS_CONSOLE_DISCONNECT);
    session(WTS_SESSION_LOCK);  // changes nothing
    EXPECT_EQ(1, ShellHook(12, 10));
    for (const char* program : {"caps\\Type32.exe", "type32.exe"}) {
        auto keyboard = Launch(program);
        ASSERT_TRUE(Running(keyboard.get())) << program;
        ForgetKeyboardProgramScan();
        EXPECT_EQ(program[0] == 'c' ? 1 : 0, ShellHook(12, 10)) << program;
    }
    EXPECT_EQ(0, AppCommand(51));  // to default processing, unmapped
    session(WTS_CONSOLE_CONNECT);
    EXPECT_EQ(1, AppCommand(51));
    EXPECT_EQ(C(5206, 1, 3), player.Commands().at(0));
    EXPECT_EQ(0, ShellHook(12, 10));  // the program gone, the hook still silent
}

// Registered as stored, given up when cleared: each combination taken while its hot key is set, then free.
TEST_F(RemoteInput, TheHotKeyIsRegisteredAndShowsTheNavigatorEvenWhenDisabled) {
    registry.SetDword(HKEY_CURRENT_USER, "Activate", 0);
    Start();
    const struct { const char* what; DWORD hotKey; UINT modifiers, key; bool taken; } steps[] = {
        {"Control+Shift+A, bits 19-23 unused", 0x00F30041, MOD_CONTROL | MOD_SHIFT, 'A', true},
        {"cleared", 0, MOD_CONTROL | MOD_SHIFT, 'A', false},
        {"Alt+Control+Shift+F7", 0x00070076, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F7, true},
    };
    for (const auto& s : steps) {
        settings.hotKey = s.hotKey;
        nav.ApplySettings();
        BOOL available = RegisterHotKey(nullptr, 7, s.modifiers, s.key);
        EXPECT_EQ(s.taken, !available) << s.what;
        if (available) UnregisterHotKey(nullptr, 7);
    }
    SendMessageA(Window(), WM_HOTKEY, 2, 0);  // another id: nothing
    EXPECT_TRUE(player.Received().empty());
    SendMessageA(Window(), WM_HOTKEY, 1, 0);
    EXPECT_EQ((Sequence{Request(Window(), 128), Request(Window(), 21)}), player.Requests());
}

// The Media Center tray program, found by its name in any case and by the snapshot's name where the
// module walk fails, is stopped while we are enabled and started again from its path when disabled or closed.
TEST_F(RemoteInput, MediaCenterTrayIsStoppedAndStartedAgain) {
    for (auto c : {std::make_pair("caps\\EHTRAY.EXE", false), std::make_pair("ehtray.exe", true)}) {
        SCOPED_TRACE(c.first + std::string(c.second ? ", module walk failing" : ""));
        SetModuleWalk(c.second ? FailingModuleWalk : nullptr);
        auto tray = Launch(c.first);
        ASSERT_TRUE(Running(tray.get()));
        LoadSettings();
        NavigatorWnd window;
        ASSERT_TRUE(window.CreateNavigator(&settings));
        ASSERT_TRUE(PumpUntil([&] { return !Running(tray.get()); }, 3000));  // stopped by the start-up
        for (DWORD activate : {0u, 1u}) {  // disabled: started again from that path; enabled: stopped again
            settings.activate = activate;
            window.ApplySettings();
            EXPECT_TRUE(PumpUntil([&] { return CountProcesses("ehtray.exe") == (activate ? 0 : 1); }, 3000));
        }
        window.DestroyWindow();  // closing: started again
        EXPECT_TRUE(PumpUntil([&] { return CountProcesses("ehtray.exe") == 1; }, 3000));
        CountProcesses("ehtray.exe", true);
    }
    SetModuleWalk(nullptr);
}
