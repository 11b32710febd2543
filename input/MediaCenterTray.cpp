#include "input/MediaCenterTray.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "input/ProcessList.h"

namespace {
constexpr char kTrayProgram[] = "ehtray.exe";
}  // namespace

void MediaCenterTray::Update(bool enabled) {
    if (!enabled) {
        if (!stoppedPath_.empty()) {
            ShellExecuteA(nullptr, "open", stoppedPath_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            stoppedPath_.clear();
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
                stoppedPath_ = name;
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
