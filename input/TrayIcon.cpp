#include "input/TrayIcon.h"

#include <cstring>

#include "base/ModuleHold.h"
#include "base/ModuleState.h"
#include "base/Window.h"
#include "input/CommandTarget.h"
#include "res/resource.h"
#include "settings/Monitors.h"
#include "settings/PluginSettings.h"

namespace {

constexpr size_t kTipLimit = 128;
constexpr UINT kColumnItems = 8;
constexpr UINT kTextSizes = 5;
constexpr UINT kMonitorCommands = 9;  // from ID_QUICK_MONITOR_FIRST
constexpr int kIconSize = 16;

void Notify(DWORD action, HWND window, UINT id, UINT callbackMessage, HICON icon, const char* tip) {
    NOTIFYICONDATAA data = {};
    data.cbSize = kNotifyIconDataV3Size;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | (icon ? NIF_ICON : 0) | (tip ? NIF_TIP : 0);
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    if (tip) lstrcpynA(data.szTip, tip, static_cast<int>(kTipLimit));
    Shell_NotifyIconA(action, &data);
}

void SetCheck(HMENU menu, UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }
void Grey(HMENU menu, UINT id) { EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED); }

// The submenu of `menu` that holds item `id`, and its position; null when there is none.
HMENU SubmenuHolding(HMENU menu, UINT id, int* position) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub && GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
            if (position) *position = i;
            return sub;
        }
    }
    return nullptr;
}

void AddMonitorItems(HMENU popup, const PluginSettings& settings) {
    MonitorList monitors = EnumerateMonitors();
    HMENU quick = SubmenuHolding(popup, IDC_THUMBNAILS, nullptr);
    int position = -1;
    HMENU monitorMenu = quick ? SubmenuHolding(quick, ID_QUICK_MONITOR_FIRST, &position) : nullptr;
    if (!monitorMenu) return;
    if (monitors.size() == 1) {
        DeleteMenu(quick, static_cast<UINT>(position), MF_BYPOSITION);
        // The separator above the monitors goes with them.
        UINT above = static_cast<UINT>(position - 1);
        if (position > 0 && (GetMenuState(quick, above, MF_BYPOSITION) & MF_SEPARATOR))
            DeleteMenu(quick, above, MF_BYPOSITION);
        return;
    }
    DeleteMenu(monitorMenu, 0, MF_BYPOSITION);
    int chosen = -1;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const char* device = monitors[i].info.szDevice;
        UINT id = ID_QUICK_MONITOR_FIRST + static_cast<UINT>(i);
        AppendMenuA(monitorMenu, MF_STRING | MF_ENABLED, id, strlen(device) > 4 ? device + 4 : "");
        if (monitors[i].info.dwFlags & MONITORINFOF_PRIMARY) SetMenuDefaultItem(monitorMenu, id, FALSE);
        if (monitors[i].handle == settings.Monitor()) chosen = static_cast<int>(i);
    }
    if (chosen >= 0) {
        UINT last = ID_QUICK_MONITOR_FIRST + static_cast<UINT>(monitors.size()) - 1;
        CheckMenuRadioItem(monitorMenu, ID_QUICK_MONITOR_FIRST, last, ID_QUICK_MONITOR_FIRST + static_cast<UINT>(chosen),
                           MF_BYCOMMAND);
    }
}

DWORD Toggled(DWORD value) { return value ? 0 : 1; }

bool IsQuickConfigCommand(UINT id) {
    return id == ID_QUICK_CONFIGURATIONS || id == ID_QUICK_SHOW_NAVIGATOR || id == IDC_THUMBNAILS ||
           id == IDC_LARGE_THUMBNAILS || id == IDC_TAG_INFO || id == IDC_ENABLE ||
           (id >= ID_QUICK_TEXT_SIZE_FIRST && id < ID_QUICK_TEXT_SIZE_FIRST + kTextSizes) ||
           (id >= ID_QUICK_COLUMN_FIRST && id < ID_QUICK_COLUMN_FIRST + kColumnItems) ||
           (id >= ID_QUICK_MONITOR_FIRST && id < ID_QUICK_MONITOR_FIRST + kMonitorCommands);
}

// Greys every command item of `menu` and its submenus but "Show Navigator Window".
void GreyAllButShowNavigator(HMENU menu) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            GreyAllButShowNavigator(sub);
        else if (GetMenuItemID(menu, i) != ID_QUICK_SHOW_NAVIGATOR)
            EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
    }
}

}  // namespace

HMENU BuildQuickConfigMenu(const PluginSettings& settings, bool sheetOpen) {
    LPCSTR name = MAKEINTRESOURCEA(IDR_QUICK_CONFIG);
    HMENU menu = LoadMenuA(ResourceModuleFor(RT_MENU, name), name);
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (!popup) {
        if (menu) DestroyMenu(menu);
        return nullptr;
    }
    // The popup lives on by itself once detached from its bar.
    RemoveMenu(menu, 0, MF_BYPOSITION);
    DestroyMenu(menu);

    SetCheck(popup, IDC_ENABLE, settings.activate != 0);
    SetCheck(popup, IDC_THUMBNAILS, settings.showThumbnail != 0);
    SetCheck(popup, IDC_LARGE_THUMBNAILS, settings.iconView != 0);
    SetCheck(popup, IDC_TAG_INFO, settings.showDetailInfo != 0);
    // Values without an item of their own (a text size past 4, nine or ten columns) mark nothing.
    if (settings.textSize < kTextSizes)
        CheckMenuRadioItem(popup, ID_QUICK_TEXT_SIZE_FIRST, ID_QUICK_TEXT_SIZE_FIRST + kTextSizes - 1,
                           ID_QUICK_TEXT_SIZE_FIRST + settings.textSize, MF_BYCOMMAND);
    if (settings.column >= 1 && settings.column <= kColumnItems)
        CheckMenuRadioItem(popup, ID_QUICK_COLUMN_FIRST, ID_QUICK_COLUMN_FIRST + kColumnItems - 1,
                           ID_QUICK_COLUMN_FIRST + settings.column - 1, MF_BYCOMMAND);
    if (!settings.showThumbnail) {
        Grey(popup, IDC_TAG_INFO);
        Grey(popup, IDC_LARGE_THUMBNAILS);
    }
    if (!settings.showThumbnail || !settings.iconView)
        for (UINT i = 0; i < kColumnItems; ++i) Grey(popup, ID_QUICK_COLUMN_FIRST + i);
    AddMonitorItems(popup, settings);
    if (sheetOpen) GreyAllButShowNavigator(popup);
    return popup;
}

QuickConfigFollowUp ApplyQuickConfigCommand(UINT id, PluginSettings& settings, bool sheetOpen) {
    QuickConfigFollowUp follow = QuickConfigFollowUp::None;
    if (!IsQuickConfigCommand(id)) return QuickConfigFollowUp::NotMine;
    if (id == ID_QUICK_SHOW_NAVIGATOR) return QuickConfigFollowUp::ShowNavigator;
    // A command that arrives from a menu greyed by a sheet is refused all the same.
    if (sheetOpen) return QuickConfigFollowUp::None;
    if (id == ID_QUICK_CONFIGURATIONS) return QuickConfigFollowUp::RunOptionsSheet;
    if (id >= ID_QUICK_TEXT_SIZE_FIRST && id < ID_QUICK_TEXT_SIZE_FIRST + kTextSizes) {
        settings.textSize = id - ID_QUICK_TEXT_SIZE_FIRST;
    } else if (id >= ID_QUICK_COLUMN_FIRST && id < ID_QUICK_COLUMN_FIRST + kColumnItems) {
        settings.column = id - ID_QUICK_COLUMN_FIRST + 1;
    } else if (id == IDC_THUMBNAILS) {
        settings.showThumbnail = Toggled(settings.showThumbnail);
    } else if (id == IDC_LARGE_THUMBNAILS) {
        settings.iconView = Toggled(settings.iconView);
    } else if (id == IDC_TAG_INFO) {
        settings.showDetailInfo = Toggled(settings.showDetailInfo);
    } else if (id >= ID_QUICK_MONITOR_FIRST && id < ID_QUICK_MONITOR_FIRST + kMonitorCommands) {
        // A monitor removed since the menu was built leaves the setting alone.
        MonitorList monitors = EnumerateMonitors();
        UINT index = id - ID_QUICK_MONITOR_FIRST;
        if (index < monitors.size()) settings.SetMonitor(monitors[index].handle);
    } else if (id == IDC_ENABLE) {
        settings.activate = Toggled(settings.activate);
        follow = QuickConfigFollowUp::UpdateMediaCenterTray;
    }
    settings.Save();
    return follow;
}

TrayIcon::TrayIcon(const Window& window, CommandTarget& target)
    : window_(window), target_(target), taskbarCreatedMessage_(RegisterWindowMessageA("TaskbarCreated")) {}

TrayIcon::~TrayIcon() { Remove(); }

HWND TrayIcon::Handle() const { return window_.Handle(); }

void TrayIcon::LoadPicture() {
    icon_ = static_cast<HICON>(LoadImageA(ThisModuleState().instance, MAKEINTRESOURCEA(IDI_REMBRIX), IMAGE_ICON,
                                          kIconSize, kIconSize, 0));
}

void TrayIcon::FreePicture() {
    if (icon_) DestroyIcon(icon_);
    icon_ = nullptr;
}

void TrayIcon::Add() {
    Remove();
    id_ = kTrayIconId;
    shownOn_ = Handle();
    Notify(NIM_ADD, shownOn_, id_, kTrayCallbackMessage, icon_, LoadResString(IDS_PLUGIN_NAME).c_str());
}

void TrayIcon::Remove() {
    if (id_) Notify(NIM_DELETE, shownOn_, id_, kTrayCallbackMessage, nullptr, nullptr);
    id_ = 0;
}

bool TrayIcon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const PluginSettings& settings, bool sheetOpen,
                         LRESULT* result) {
    if (message == kTrayCallbackMessage) {
        *result = OnNotify(wParam, lParam, settings, sheetOpen);
        return true;
    }
    // The taskbar was rebuilt: an icon that was there is shown again.
    if (message == taskbarCreatedMessage_ && message) {
        if (Present()) Add();
        *result = 0;
        return true;
    }
    return false;
}

LRESULT TrayIcon::OnNotify(WPARAM id, LPARAM mouse, const PluginSettings& settings, bool sheetOpen) {
    if (id != kTrayIconId) return 1;
    if (mouse == WM_LBUTTONDBLCLK) {
        target_.ShowTrackList();
        return 1;
    }
    if (mouse != WM_RBUTTONUP) return 0;
    DWORD at = GetMessagePos();
    SetForegroundWindow(Handle());
    UpdateWindow(Handle());
    PostMessageA(Handle(), WM_USER, 0, 0);
    ShowMenu(static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at)), settings, sheetOpen);
    return 1;
}

void TrayIcon::ShowMenu(int x, int y, const PluginSettings& settings, bool sheetOpen) {
    // A right-click that arrives while the menu is tracked opens no second one.
    if (menuOpen_) return;
    HMENU menu = BuildQuickConfigMenu(settings, sheetOpen);
    if (!menu) return;
    ModuleHold hold;
    menuOpen_ = true;
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, Handle(), nullptr);
    menuOpen_ = false;
    DestroyMenu(menu);
}

void TrayIcon::EndMenu() {
    if (menuOpen_) ::EndMenu();
}
