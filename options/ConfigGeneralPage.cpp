#include "options/ConfigGeneralPage.h"

#include "res/resource.h"
#include "settings/Monitors.h"
#include "settings/PluginSettings.h"

void CConfigGeneralPage::Init(PluginSettings* settings) {
    settings_ = settings;
    enablePlugin = static_cast<int>(settings->activate);
    showTrayIcon = static_cast<int>(settings->trayIcon);
}

void CConfigGeneralPage::DoDataExchange(DataExchange& dx) {
    dx.Check(IDC_TRAY_ICON, showTrayIcon);
    dx.Check(IDC_ENABLE, enablePlugin);
    dx.ComboIndex(IDC_MONITOR, monitorIndex);
}

BOOL CConfigGeneralPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    // The setting keeps the key code in bits 0-7 and the modifier flags in bits 16-23; the control
    // takes them as one word, key code low.
    DWORD hotKey = settings_->hotKey;
    SendDlgItemMessageA(Handle(), IDC_HOT_KEY, HKM_SETHOTKEY, MAKEWORD(hotKey & 0xFF, (hotKey >> 16) & 0xFF), 0);
    // The key is taken from every program: one typed alone or with Shift alone gets Control+Alt.
    // The rule is for typing; the stored key above is shown as it is.
    SendDlgItemMessageA(Handle(), IDC_HOT_KEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));

    HWND combo = Item(IDC_MONITOR);
    MonitorList monitors = EnumerateMonitors();
    for (const MonitorEntry& monitor : monitors) {
        const char* device = monitor.info.szDevice;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strlen(device) > 4 ? device + 4 : ""));
    }
    for (size_t i = 0; i < monitors.size(); ++i)
        if (monitors[i].handle == settings_->Monitor()) SendMessageA(combo, CB_SETCURSEL, i, 0);
    return TRUE;
}

bool CConfigGeneralPage::OnCommand(int id, int code) {
    return id == IDC_MONITOR && code == CBN_SELENDOK;  // nothing to do until OK
}

void CConfigGeneralPage::OnOK() {
    UpdateData(true);
    settings_->activate = static_cast<DWORD>(enablePlugin);
    settings_->trayIcon = static_cast<DWORD>(showTrayIcon);
    WORD hotKey = static_cast<WORD>(SendDlgItemMessageA(Handle(), IDC_HOT_KEY, HKM_GETHOTKEY, 0, 0));
    settings_->hotKey = static_cast<DWORD>(HIBYTE(hotKey)) * 65536 + LOBYTE(hotKey);
    // A monitor that went away while the sheet was open leaves the setting as it was.
    MonitorList monitors = EnumerateMonitors();
    if (monitorIndex >= 0 && static_cast<size_t>(monitorIndex) < monitors.size())
        settings_->SetMonitor(monitors[static_cast<size_t>(monitorIndex)].handle);
}
