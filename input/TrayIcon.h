// The Navigator's icon in the taskbar notification area, and its quick-configuration menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

struct PluginSettings;

constexpr UINT kTrayCallbackMessage = WM_APP + 0x81;
constexpr UINT kTrayIconId = 100;

// The size of the version-3 notification record, which every system since takes.
constexpr UINT kNotifyIconDataV3Size = offsetof(NOTIFYICONDATAA, hBalloonIcon);
#ifndef _WIN64
static_assert(kNotifyIconDataV3Size == 504, "the version-3 notification record is 504 bytes on 32-bit");
#endif

class TrayIconHolder {
public:
    // Replaces a present icon; always counts as present afterwards.
    int Add(HWND window, UINT id, UINT callbackMessage, HICON icon, const char* tip);
    void Remove();
    bool Present() const { return id_ != 0; }

private:
    HWND window_ = nullptr;
    UINT callbackMessage_ = 0;
    UINT id_ = 0;
};

// Menu commands.
enum QuickConfigCommand : UINT {
    kCmdConfigurations = 32771,
    kCmdTextSizeFirst = 32832,  // to 32836
    kCmdThumbnails = 1038,
    kCmdLargeThumbnails = 1040,
    kCmdTagInfo = 1041,
    kCmdColumnFirst = 32837,  // column 1, to 32844 for 8
    kCmdMonitorFirst = 2000,  // the placeholder, then one item per monitor
    kCmdEnable = 5010,
    kCmdShowNavigator = 32830,
};

// Menu 130's first popup, its marks and greyed items set from the settings and its monitor items
// built from the monitors now present. The caller tracks and destroys it.
HMENU BuildQuickConfigMenu(const PluginSettings& settings, bool sheetOpen);

// What a chosen command leaves for the window to do after the settings were changed and saved.
enum class QuickConfigFollowUp { None, NotMine, UpdateMediaCenterTray, RunOptionsSheet, ShowNavigator };
QuickConfigFollowUp ApplyQuickConfigCommand(UINT id, PluginSettings& settings);
