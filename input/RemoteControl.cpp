#include "input/RemoteControl.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/ProcAddress.h"
#include "input/ProcessList.h"
#include "input/RemoteCodes.h"
#include "input/RemoteControlHooks.h"
#include "settings/PluginSettings.h"
#include "settings/RegisteredMessages.h"

GetRawInputDataFn g_rawInputReader = nullptr;

namespace {

// The remote's two HID collections, registered as input sinks so that reports arrive while the
// Navigator is hidden or another program is in front.
constexpr USHORT kRemoteUsagePage = 0xFFBC;
constexpr USHORT kRemoteUsage = 0x0088;
constexpr USHORT kConsumerUsagePage = 0x000C;
constexpr USHORT kConsumerUsage = 0x0001;
constexpr UINT kReadFailed = static_cast<UINT>(-1);

constexpr WPARAM kShellAppCommand = 12;  // HSHELL_APPCOMMAND
// The keyboard program that forwards the same buttons through the shell hook itself.
constexpr char kKeyboardProgram[] = "type32.exe";
constexpr int kHotKeyId = 1;
constexpr DWORD kNotifyForThisSession = 0;

// The keyboard-program scan runs once per load of the module.
bool g_hookScanDone = false;

HMODULE User32() {
    static HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32;
}

// wtsapi32 is loaded on first use and kept; a race on the first call only repeats the load.
HMODULE WtsApi() {
    static HMODULE module = LoadLibraryA("wtsapi32.dll");
    return module;
}

// Looked up at each call; a missing function makes the call a no-op.
BOOL CallWithWindow(HMODULE module, const char* name, HWND window) {
    auto function = GetProc<BOOL(WINAPI*)(HWND)>(module, name);
    return function ? function(window) : 0;
}

UINT ReadRawInput(HRAWINPUT input, void* buffer, UINT* size) {
    GetRawInputDataFn read = g_rawInputReader ? g_rawInputReader : GetProc<GetRawInputDataFn>(User32(), "GetRawInputData");
    if (!read) return kReadFailed;
    return read(input, RID_INPUT, buffer, size, sizeof(RAWINPUTHEADER));
}

bool KeyboardProgramRuns() {
    ProcessList processes;
    if (!processes.TakeSnapshot()) return false;
    for (size_t i = 0; i < processes.Count(); ++i) {
        std::string name;
        if (processes.GetCurrentName(name) && strstr(name.c_str(), kKeyboardProgram)) return true;
        if (!processes.Next(1)) break;
    }
    return false;
}

}  // namespace

void ForgetKeyboardProgramScan() { g_hookScanDone = false; }

bool ValidRawInputDevices(const RAWINPUTDEVICE* devices, UINT count, UINT size) {
    if (!devices || count == 0 || size != sizeof(RAWINPUTDEVICE)) return false;
    for (UINT i = 0; i < count; ++i) {
        const RAWINPUTDEVICE& d = devices[i];
        if ((d.dwFlags & RIDEV_INPUTSINK) && !d.hwndTarget) return false;
        if ((d.dwFlags & RIDEV_REMOVE) && d.hwndTarget) return false;
    }
    return true;
}

RemoteControl::RemoteControl(CommandTarget& target, const Window& window)
    : target_(target), window_(window), shellHookMessage_(RegisterWindowMessageA("ShellHook")) {}

bool RemoteControl::Shown() const { return IsWindowVisible(Handle()) != FALSE; }

void RemoteControl::Register() {
    CallWithWindow(User32(), "RegisterShellHookWindow", Handle());
    using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
    if (auto fn = GetProc<RegisterFn>(WtsApi(), "WTSRegisterSessionNotification")) fn(Handle(), kNotifyForThisSession);
    RegisterRawInput();
}

void RemoteControl::Unregister() {
    CallWithWindow(User32(), "DeregisterShellHookWindow", Handle());
    CallWithWindow(WtsApi(), "WTSUnRegisterSessionNotification", Handle());
}

bool RemoteControl::RegisterRawInput() {
    RAWINPUTDEVICE devices[2] = {
        {kRemoteUsagePage, kRemoteUsage, RIDEV_INPUTSINK, Handle()},
        {kConsumerUsagePage, kConsumerUsage, RIDEV_INPUTSINK, Handle()},
    };
    if (!ValidRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE))) return false;
    auto registerDevices = GetProc<RegisterRawInputDevicesFn>(User32(), "RegisterRawInputDevices");
    return registerDevices && registerDevices(devices, 2, sizeof(RAWINPUTDEVICE));
}

void RemoteControl::UpdateHotKey(DWORD hotKey) {
    if (static_cast<LONG>(hotKey) < 1) {
        UnregisterHotKey(Handle(), kHotKeyId);
        return;
    }
    RegisterHotKey(Handle(), kHotKeyId, HotKeyModifiers(hotKey), hotKey & 0xFFFF);
}

bool RemoteControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool active, LRESULT* result) {
    switch (message) {
        case WM_INPUT: *result = OnInput(lParam, wParam, active); return true;
        case WM_APPCOMMAND: *result = OnAppCommand(wParam, lParam, active); return true;
        case WM_HOTKEY:
            // The hot key shows the Navigator even while the remotes are switched off.
            if (wParam == kHotKeyId) target_.ShowTrackList();
            *result = 0;
            return true;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_CONSOLE_CONNECT) consoleDisconnected_ = false;
            if (wParam == WTS_CONSOLE_DISCONNECT) consoleDisconnected_ = true;
            *result = 0;
            return true;
        default:
            // Registered messages have no constant numbers.
            if (message == shellHookMessage_) {
                *result = OnShellHook(wParam, lParam, active);
                return true;
            }
            if (message == g_streamzapMessage && message) {
                *result = OnStreamzap(wParam, active);
                return true;
            }
            return false;
    }
}

LRESULT RemoteControl::OnInput(LPARAM lParam, WPARAM wParam, bool active) {
    if (!active) return 0;
    HRAWINPUT input = reinterpret_cast<HRAWINPUT>(lParam);
    UINT size = 0;
    if (ReadRawInput(input, nullptr, &size) != kReadFailed && size > 0) {
        std::vector<uint8_t> report(size);
        UINT wanted = size;
        uint32_t code = 0;
        if (ReadRawInput(input, report.data(), &size) == wanted &&
            ParseHidButton(report.data(), wanted, sizeof(RAWINPUTHEADER), &code)) {
            int command = MapRawButton(code, Shown());
            if (command != 0) target_.HandleCommand(command);
        }
    }
    // Default processing frees what the system keeps for the report.
    DefWindowProcA(Handle(), WM_INPUT, wParam, lParam);
    return 0;
}

LRESULT RemoteControl::MapAppCommand(LPARAM lParam, bool active) {
    if (!Shown() || !active) return 0;
    int value = static_cast<int>((static_cast<DWORD>(lParam) >> 16) & 0x0FFF);
    if (value < 1 || value > 52) return 0;
    int command = MapAppCommandValue(value);
    if (command < 0) return 0;
    return target_.HandleCommand(command);
}

LRESULT RemoteControl::OnAppCommand(WPARAM wParam, LPARAM lParam, bool active) {
    // A command that reached us while another window was in front came by way of the system:
    // from then on the shell hook would deliver every command twice.
    if (GetForegroundWindow() != Handle()) appCommandHookEnabled_ = false;
    LRESULT mapped = consoleDisconnected_ ? 0 : MapAppCommand(lParam, active);
    return mapped ? mapped : DefWindowProcA(Handle(), WM_APPCOMMAND, wParam, lParam);
}

LRESULT RemoteControl::OnShellHook(WPARAM event, LPARAM lParam, bool active) {
    if (event != kShellAppCommand) return 0;
    if (!g_hookScanDone) {
        if (KeyboardProgramRuns()) appCommandHookEnabled_ = false;
        g_hookScanDone = true;
    }
    if (!appCommandHookEnabled_) return 0;
    return MapAppCommand(lParam, active);
}

LRESULT RemoteControl::OnStreamzap(WPARAM code, bool active) {
    if (!active) return 0;
    int mapped = MapStreamzapButton(static_cast<uint32_t>(code), Shown());
    int digit = StreamzapDigit(mapped);
    if (digit >= 0) return target_.SelectNumber(digit);
    return mapped < 0 ? 0 : target_.HandleCommand(mapped);
}
