#include "settings/Monitors.h"

#include "base/ProcAddress.h"

namespace {

using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using MonitorFromPointFn = HMONITOR(WINAPI*)(POINT, DWORD);

// The handle that stands for the whole screen where there are no monitor functions.
const HMONITOR kScreenMonitor = reinterpret_cast<HMONITOR>(static_cast<LONG_PTR>(0x12340042));

struct MonitorApi {
    EnumDisplayMonitorsFn enumerate = nullptr;
    GetMonitorInfoFn info = nullptr;
    MonitorFromPointFn fromPoint = nullptr;
    bool Present() const { return enumerate && info && fromPoint; }
};

const MonitorApi& Api() {
    static const MonitorApi api = [] {
        MonitorApi a;
        HMODULE user32 = GetModuleHandleA("user32.dll");
        if (user32) {
            a.enumerate = GetProc<EnumDisplayMonitorsFn>(user32, "EnumDisplayMonitors");
            a.info = GetProc<GetMonitorInfoFn>(user32, "GetMonitorInfoA");
            a.fromPoint = GetProc<MonitorFromPointFn>(user32, "MonitorFromPoint");
        }
        return a;
    }();
    return api;
}

MonitorEntry ScreenEntry() {
    MonitorEntry entry = {};
    entry.info.cbSize = sizeof(entry.info);
    SetRect(&entry.info.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &entry.info.rcWork, 0);
    entry.info.dwFlags = MONITORINFOF_PRIMARY;
    lstrcpynA(entry.info.szDevice, "\\\\.\\DISPLAY1", sizeof(entry.info.szDevice));
    entry.handle = kScreenMonitor;
    return entry;
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    MonitorEntry entry = {};
    entry.info.cbSize = sizeof(entry.info);
    entry.handle = handle;
    try {
        if (Api().info(handle, &entry.info)) reinterpret_cast<MonitorList*>(data)->push_back(entry);
    } catch (...) {
        return FALSE;  // not through the system's enumeration: the list ends here
    }
    return TRUE;
}

}  // namespace

MonitorList EnumerateMonitors() {
    MonitorList list;
    if (!Api().Present()) {
        list.push_back(ScreenEntry());
        return list;
    }
    Api().enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

bool IsMonitorHandle(HMONITOR handle) {
    for (const MonitorEntry& entry : EnumerateMonitors())
        if (entry.handle == handle) return true;
    return false;
}

HMONITOR GetPrimaryMonitor() {
    for (const MonitorEntry& entry : EnumerateMonitors())
        if (entry.info.dwFlags & MONITORINFOF_PRIMARY) return entry.handle;
    if (!Api().Present()) return kScreenMonitor;
    return Api().fromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

RECT GetMonitorRect(HMONITOR handle, bool workArea) {
    MonitorEntry entry = ScreenEntry();
    if (Api().Present() && handle != kScreenMonitor) {
        entry.info.cbSize = sizeof(entry.info);
        if (!Api().info(handle, &entry.info)) entry = ScreenEntry();
    }
    return workArea ? entry.info.rcWork : entry.info.rcMonitor;
}
