// The display monitors, in the system's enumeration order, with a single-screen fallback where
// the multiple-monitor functions are missing.
#pragma once

#include <windows.h>

#include <vector>

struct MonitorEntry {
    MONITORINFOEXA info;
    HMONITOR handle;
};

using MonitorList = std::vector<MonitorEntry>;

MonitorList EnumerateMonitors();
bool IsMonitorHandle(HMONITOR handle);
HMONITOR GetPrimaryMonitor();
// The monitor's full rectangle, or its work area.
RECT GetMonitorRect(HMONITOR handle, bool workArea);
