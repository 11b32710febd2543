#include "input/TrayIcon.h"

#include <cstring>

#include "base/ModuleHold.h"
#include "base/ModuleState.h"
#include "base/Window.h"
#include "input/Commands.h"
#include "plugin/Monitors.h"
#include "plugin/PluginSettings.h"
#include "res/resource.h"

namespace {

constexpr size_t kTipLimit = 128;
constexpr UINT kColumnItems = 8;
constexpr UINT kTextSizes = 5;
constexpr UINT kMonitorCommands = 9;  // 2000..2008
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
    HMENU quick = SubmenuHolding(popup, kCmdThumbnails, nullptr);
    int position = -1;
    HMENU monitorMenu = quick ? SubmenuHolding(quick, kCmdMonitorFirst, &position) : nullptr;
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
        UINT id = kCmdMonitorFirst + static_cast<UINT>(i);
        AppendMenuA(monitorMenu, MF_STRING | MF_ENABLED, id, strlen(device) > 4 ? device + 4 : "");
        if (monitors[i].info.dwFlags & MONITORINFOF_PRIMARY) SetMenuDefaultItem(monitorMenu, id, FALSE);
        if (monitors[i].handle == settings.Monitor()) chosen = static_cast<int>(i);
    }
    if (chosen >= 0)
        CheckMenuRadioItem(monitorMenu, kCmdMonitorFirst, kCmdMonitorFirst + static_cast<UINT>(monitors.size()) - 1,
                           kCmdMonitorFirst + static_cast<UINT>(chosen), MF_BYCOMMAND);
}

DWORD Toggled(DWORD value) { return value ? 0 : 1; }

bool IsQuickConfigCommand(UINT id) {
    return id == kCmdConfigurations || id == kCmdShowNavigator || id == kCmdThumbnails || id == kCmdLargeThumbnails ||
           id == kCmdTagInfo || id == kCmdEnable || (id >= kCmdTextSizeFirst && id < kCmdTextSizeFirst + kTextSizes) ||
           (id >= kCmdColumnFirst && id < kCmdColumnFirst + kColumnItems) ||
           (id >= kCmdMonitorFirst && id < kCmdMonitorFirst + kMonitorCommands);
}

// Greys every command item of `menu` and its submenus but "Show Navigator Window".
void GreyAllButShowNavigator(HMENU menu) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            GreyAllButShowNavigator(sub);
        else if (GetMenuItemID(menu, i) != kCmdShowNavigator)
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

    SetCheck(popup, kCmdEnable, settings.activate != 0);
    SetCheck(popup, kCmdThumbnails, settings.showThumbnail != 0);
    SetCheck(popup, kCmdLargeThumbnails, settings.iconView != 0);
    SetCheck(popup, kCmdTagInfo, settings.showDetailInfo != 0);
    // Values without an item of their own (a text size past 4, nine or ten columns) mark nothing.
    if (settings.textSize < kTextSizes)
        CheckMenuRadioItem(popup, kCmdTextSizeFirst, kCmdTextSizeFirst + kTextSizes - 1,
                           kCmdTextSizeFirst + settings.textSize, MF_BYCOMMAND);
    if (settings.column >= 1 && settings.column <= kColumnItems)
        CheckMenuRadioItem(popup, kCmdColumnFirst, kCmdColumnFirst + kColumnItems - 1,
                           kCmdColumnFirst + settings.column - 1, MF_BYCOMMAND);
    if (!settings.showThumbnail) {
        Grey(popup, kCmdTagInfo);
        Grey(popup, kCmdLargeThumbnails);
    }
    if (!settings.showThumbnail || !settings.iconView)
        for (UINT i = 0; i < kColumnItems; ++i) Grey(popup, kCmdColumnFirst + i);
    AddMonitorItems(popup, settings);
    if (sheetOpen) GreyAllButShowNavigator(popup);
    return popup;
}

QuickConfigFollowUp ApplyQuickConfigCommand(UINT id, PluginSettings& settings, bool sheetOpen) {
    QuickConfigFollowUp follow = QuickConfigFollowUp::None;
    if (!IsQuickConfigCommand(id)) return QuickConfigFollowUp::NotMine;
    if (id == kCmdShowNavigator) return QuickConfigFollowUp::ShowNavigator;
    // A command that arrives from a menu greyed by a sheet is refused all the same.
    if (sheetOpen) return QuickConfigFollowUp::None;
    if (id == kCmdConfigurations) return QuickConfigFollowUp::RunOptionsSheet;
    if (id >= kCmdTextSizeFirst && id < kCmdTextSizeFirst + kTextSizes) {
        settings.textSize = id - kCmdTextSizeFirst;
    } else if (id >= kCmdColumnFirst && id < kCmdColumnFirst + kColumnItems) {
        settings.column = id - kCmdColumnFirst + 1;
    } else if (id == kCmdThumbnails) {
        settings.showThumbnail = Toggled(settings.showThumbnail);
    } else if (id == kCmdLargeThumbnails) {
        settings.iconView = Toggled(settings.iconView);
    } else if (id == kCmdTagInfo) {
        settings.showDetailInfo = Toggled(settings.showDetailInfo);
    } else if (id >= kCmdMonitorFirst && id < kCmdMonitorFirst + kMonitorCommands) {
        // A monitor removed since the menu was built leaves the setting alone.
        MonitorList monitors = EnumerateMonitors();
        if (id - kCmdMonitorFirst < monitors.size()) settings.SetMonitor(monitors[id - kCmdMonitorFirst].handle);
    } else if (id == kCmdEnable) {
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
