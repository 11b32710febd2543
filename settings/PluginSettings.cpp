#include "settings/PluginSettings.h"

#include <cstdio>

#include "settings/Monitors.h"
#include "settings/RegistryStore.h"

const COLORREF kDefaultColours[kColourCount] = {
    0x00984E00, 0x00984E00, 0x00FCD694, 0x00782800, 0x00FFF0D2, 0x00E69349, 0x00FFFFFF,
    0x00FFFFFF, 0x00D3A502, 0x00D3A502, 0x00FFFFFF, 0x00FCD694, 0x00502300, 0x00FFFFFF,
    0x00B46432, 0x00FFFFFF, 0x00D3A502, 0x0088561F, 0x00808080, 0x00FFFFFF, 0x00984E00,
    0x00782800, 0x00E69349, 0x00808080, 0x00FFFFFF, 0x00502300,
};

namespace {
constexpr char kSettingsKey[] = "OSCSettings";
constexpr DWORD kNoMonitor = 0xFFFFFFFF;
}  // namespace

void PluginSettings::Load(const char* registryPath) {
    keyPath = registryPath;
    if (keyPath.empty() || (keyPath.back() != '\\' && keyPath.back() != '/')) keyPath += '\\';
    keyPath += kSettingsKey;
    RegistryStore store;
    store.Open(keyPath.c_str());

    activate = store.GetDword("Activate", 1);
    trayIcon = store.GetDword("TrayIcon", 0);
    hotKey = store.GetDword("HotKey", 0);
    monitor = store.GetDword("Monitor", kNoMonitor);
    if (!IsMonitorHandle(Monitor())) SetMonitor(GetPrimaryMonitor());

    column = store.GetDword("Column", 3);
    showThumbnail = store.GetDword("ShowThumbnail", 1);
    iconView = store.GetDword("IconView", 1);
    textFont = store.GetString("TextFont", "Arial", false);
    textSize = store.GetDword("TextSize", 2);
    showDetailInfo = store.GetDword("ShowDetailInfo", 0);
    marginX = static_cast<LONG>(store.GetDword("MarginX", 0));
    marginY = static_cast<LONG>(store.GetDword("MarginY", 0));

    for (int i = 0; i < kColourCount; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "Color_%d", i);
        colours[i] = store.GetDword(name, kDefaultColours[i]);
    }
    store.Close();
}

void PluginSettings::Save() {
    if (keyPath.empty()) return;
    RegistryStore store;
    if (!store.Create(keyPath.c_str(), HKEY_CURRENT_USER)) return;
    store.SetDword("Activate", activate);
    store.SetDword("TrayIcon", trayIcon);
    store.SetDword("HotKey", hotKey);
    store.SetDword("Monitor", monitor);
    store.SetDword("Column", column);
    store.SetDword("ShowThumbnail", showThumbnail);
    store.SetDword("IconView", iconView);
    store.SetString("TextFont", textFont.c_str(), REG_SZ);
    store.SetDword("TextSize", textSize);
    store.SetDword("ShowDetailInfo", showDetailInfo);
    store.SetDword("MarginX", static_cast<DWORD>(marginX));
    store.SetDword("MarginY", static_cast<DWORD>(marginY));
    store.Close();
}
