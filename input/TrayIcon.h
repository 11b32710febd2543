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

class CommandTarget;
class Window;

// The icon and its menu, on the window they are attached to. A double-click shows the track list;
// each choice of the menu is saved to the settings at once, and ApplyQuickConfigCommand says what
// the window must do after it.
class TrayIcon {
public:
    // The icon of `window`, whatever handle it has at the time, showing lists through `target`.
    TrayIcon(const Window& window, CommandTarget& target);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The icon's picture, for the life of the window: the module's own (a language pack carries
    // texts only).
    void LoadPicture();
    void FreePicture();
    // Shows the icon, replacing a present one; it counts as present afterwards in any case.
    void Add();
    void Remove();
    bool Present() const { return id_ != 0; }

    // The icon's callback and the taskbar's rebuilding: true, with the window procedure's result
    // in `result`, when `message` is one of them. The menu shows `settings`; `sheetOpen` greys its
    // items but one.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const PluginSettings& settings, bool sheetOpen,
                   LRESULT* result);
    // Ends the menu while it is tracked, as Escape would.
    void EndMenu();

private:
    LRESULT OnNotify(WPARAM id, LPARAM mouse, const PluginSettings& settings, bool sheetOpen);
    void ShowMenu(int x, int y, const PluginSettings& settings, bool sheetOpen);

    HWND Handle() const;

    const Window& window_;
    CommandTarget& target_;
    HICON icon_ = nullptr;
    HWND shownOn_ = nullptr;  // the window the icon was added for
    UINT id_ = 0;             // the icon shown, 0 when none
    bool menuOpen_ = false;
    const UINT taskbarCreatedMessage_;
};

// Menu 130's first popup, its marks and greyed items set from the settings and its monitor items
// built from the monitors now present. The caller tracks and destroys it. While an options sheet
// is open every item but "Show Navigator Window" is greyed: the sheet's Test writes the live
// settings, and a quick command would save them.
HMENU BuildQuickConfigMenu(const PluginSettings& settings, bool sheetOpen);

// What a chosen command leaves for the window to do after the settings were changed and saved.
// While an options sheet is open, only showing the Navigator is carried out.
enum class QuickConfigFollowUp { None, NotMine, UpdateMediaCenterTray, RunOptionsSheet, ShowNavigator };
QuickConfigFollowUp ApplyQuickConfigCommand(UINT id, PluginSettings& settings, bool sheetOpen);
