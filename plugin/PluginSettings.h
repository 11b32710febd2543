// The one settings record of the plug-in, kept in the registry under
// <player base>\Rembrix\OSCSettings.
#pragma once

#include <windows.h>

#include <string>

constexpr int kColourCount = 26;

// The painting colours as shipped (COLORREF, 0x00BBGGRR), by index.
extern const COLORREF kDefaultColours[kColourCount];

struct PluginSettings {
    COLORREF colours[kColourCount];
    DWORD trayIcon;
    DWORD activate;
    DWORD hotKey;  // virtual key in the low 16 bits; bit 16 Shift, 17 Ctrl, 18 Alt
    DWORD monitor;  // HMONITOR value
    DWORD column;
    DWORD showDetailInfo;
    DWORD iconView;
    DWORD showThumbnail;
    DWORD textSize;
    std::string textFont;
    LONG marginX;
    LONG marginY;
    std::string keyPath;

    // Fills the record from `registryPath`\OSCSettings; missing or mistyped values take defaults.
    void Load(const char* registryPath);
    // Writes the twelve non-colour values under HKEY_CURRENT_USER; nothing before a Load.
    void Save();

    HMONITOR Monitor() const { return reinterpret_cast<HMONITOR>(static_cast<LONG_PTR>(static_cast<LONG>(monitor))); }
    void SetMonitor(HMONITOR handle) { monitor = static_cast<DWORD>(reinterpret_cast<LONG_PTR>(handle)); }
};
