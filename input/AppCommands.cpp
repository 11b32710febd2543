// Application commands from the Media Center remote: sent to the Navigator directly, or by the
// shell through the shell hook.
#include <cstring>

#include "input/ProcessList.h"
#include "input/RemoteCodes.h"
#include "input/RemoteInput.h"
#include "navigator/NavigatorWnd.h"

namespace {

constexpr WPARAM kShellAppCommand = 12;  // HSHELL_APPCOMMAND
// The keyboard program that forwards the same buttons through the shell hook itself.
constexpr char kKeyboardProgram[] = "type32.exe";

// The keyboard-program scan runs once per load of the module.
bool g_hookScanDone = false;

}  // namespace

void ForgetKeyboardProgramScan() { g_hookScanDone = false; }

LRESULT NavigatorWnd::MapAppCommand(LPARAM lParam) {
    if (!IsWindowVisible(Handle()) || !settings->activate) return 0;
    int value = static_cast<int>((static_cast<DWORD>(lParam) >> 16) & 0x0FFF);
    if (value < 1 || value > 52) return 0;
    int command = MapAppCommandValue(value);
    if (command < 0) return 0;
    return HandleCommand(command);
}

LRESULT NavigatorWnd::OnAppCommand(LPARAM lParam) {
    // A command that reached us while another window was in front came by way of the system:
    // from then on the shell hook would deliver every command twice.
    if (GetForegroundWindow() != Handle() && appCommandHookEnabled) appCommandHookEnabled = 0;
    if (consoleDisconnected) return Default();
    LRESULT mapped = MapAppCommand(lParam);
    return mapped ? mapped : Default();
}

LRESULT NavigatorWnd::OnShellHook(WPARAM event, LPARAM lParam) {
    if (event != kShellAppCommand) return 0;
    if (!g_hookScanDone) {
        ProcessList processes;
        if (processes.TakeSnapshot()) {
            for (size_t i = 0; i < processes.Count(); ++i) {
                std::string name;
                if (processes.GetCurrentName(name) && strstr(name.c_str(), kKeyboardProgram)) {
                    appCommandHookEnabled = 0;
                    break;
                }
                if (!processes.Next(1)) break;
            }
        }
        g_hookScanDone = true;
    }
    if (!appCommandHookEnabled) return 0;
    return MapAppCommand(lParam);
}
