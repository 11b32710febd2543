// The Media Center tray program would take the remote's buttons for itself: it is stopped while
// the plug-in is enabled and started again when the plug-in is disabled or closes.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "input/ProcessList.h"
#include "navigator/NavigatorWnd.h"

namespace {
constexpr char kTrayProgram[] = "ehtray.exe";
}  // namespace

void NavigatorWnd::UpdateMediaCenterTray(bool shuttingDown) {
    if (!settings || !settings->activate || shuttingDown) {
        if (!stoppedTrayProcessPath.empty()) {
            ShellExecuteA(nullptr, "open", stoppedTrayProcessPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            stoppedTrayProcessPath.clear();
        }
        return;
    }
    ProcessList processes;
    if (!processes.TakeSnapshot()) return;
    for (size_t i = 0; i < processes.Count(); ++i) {
        std::string name;
        if (processes.GetCurrentName(name)) {
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(tolower(c)); });
            if (name.find(kTrayProgram) != std::string::npos) {
                stoppedTrayProcessPath = name;
                if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processes.CurrentId())) {
                    TerminateProcess(process, 0);
                    CloseHandle(process);
                }
                return;
            }
        }
        if (!processes.Next(1)) return;
    }
}
