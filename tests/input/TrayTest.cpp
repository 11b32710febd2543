// The tray icon and its quick-configuration menu on a real Navigator: what reaches the shell
// (through this program's import of Shell_NotifyIconA), the menu's marks while it is open, and
// what each command changes and saves.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/Monitors.h"
#include "tests/navigator/NavigatorFixture.h"
#include "tests/support/ImportPatch.h"

namespace {

struct Notification {
    DWORD action;
    NOTIFYICONDATAA data;
};
std::vector<Notification> g_notified;

BOOL WINAPI RecordNotification(DWORD action, PNOTIFYICONDATAA data) {
    Notification n = {action, {}};
    memcpy(&n.data, data, std::min<size_t>(data->cbSize, sizeof(n.data)));
    g_notified.push_back(n);
    return TRUE;
}

class Tray : public NavigatorFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(patch_.Applied());
        g_notified.clear();
    }
    std::vector<DWORD> Actions() const {
        std::vector<DWORD> actions;
        for (const Notification& n : g_notified) actions.push_back(n.action);
        return actions;
    }
    // The settings as the registry holds them.
    std::map<std::string, DWORD> Saved() const {
        std::map<std::string, DWORD> values;
        for (const char* name : {"Activate", "TrayIcon", "HotKey", "Monitor", "Column", "ShowThumbnail", "IconView",
                                 "TextSize", "ShowDetailInfo"}) {
            DWORD value = 0xDEAD;
            registry.GetDword(name, &value);
            values[name] = value;
        }
        return values;
    }

private:
    ImportPatch patch_{"shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordNotification)};
};

// While the menu is tracked: each expectation is an item id with marks, '+' checked, '-' not,
// 'g' greyed, 'e' enabled, 'x' absent.
std::string g_menuExpectations;
bool g_menuSeen;
HWND g_navigator;

BOOL CALLBACK CountMenu(HWND hwnd, LPARAM count) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    *reinterpret_cast<int*>(count) += strcmp(name, "#32768") == 0 && IsWindowVisible(hwnd);
    return TRUE;
}

void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(nullptr, timer);
    g_menuSeen = true;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    std::istringstream items(g_menuExpectations);
    for (std::string item; items >> item;) {
        size_t marks = item.find_first_not_of("0123456789");
        UINT id = static_cast<UINT>(std::stoul(item.substr(0, marks)));
        UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        bool absent = state == static_cast<UINT>(-1), checked = state & MF_CHECKED, greyed = state & MF_GRAYED;
        for (char mark : item.substr(marks)) {
            bool holds = mark == 'x' ? absent
                         : absent    ? false
                         : mark == '+' ? checked
                         : mark == '-' ? !checked
                         : mark == 'g' ? greyed
                                       : !greyed;
            EXPECT_TRUE(holds) << item << ": state " << std::hex << state;
        }
    }
    // A second right-click while the menu is open opens no second menu.
    SendMessageA(g_navigator, WM_APP + 0x81, 100, WM_RBUTTONUP);
    int menus = 0;
    EnumWindows(CountMenu, reinterpret_cast<LPARAM>(&menus));
    EXPECT_EQ(1, menus);
    EndMenu();
}

TEST_F(Tray, TheIconFollowsTheSettingAndComesBackWithTheTaskbar) {
    settings.trayIcon = 1;
    registry.SetDword(HKEY_CURRENT_USER, "TrayIcon", 1);
    Start();
    ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, Actions());
    const NOTIFYICONDATAA& added = g_notified[0].data;
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, hBalloonIcon), added.cbSize);
    EXPECT_EQ(Window(), added.hWnd);
    EXPECT_EQ(100u, added.uID);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), added.uFlags);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 0x81), added.uCallbackMessage);
    EXPECT_NE(nullptr, added.hIcon);
    EXPECT_STREQ("Remote Controller Plugin for Quillar", added.szTip);

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    struct Step {
        DWORD trayIcon;  // then the options' OK applies it
        bool rebuildTaskbar;
        std::vector<DWORD> want;
    } steps[] = {
        {1, true, {NIM_DELETE, NIM_ADD}},  // shown again
        {0, false, {NIM_DELETE}},
        {0, true, {}},  // absent before, absent after
        {1, false, {NIM_ADD}},
    };
    for (const Step& s : steps) {
        g_notified.clear();
        settings.trayIcon = s.trayIcon;
        nav.ApplySettings();
        if (s.rebuildTaskbar) {
            g_notified.clear();
            SendMessageA(Window(), taskbarCreated, 0, 0);
        }
        EXPECT_EQ(s.want, Actions()) << "tray " << s.trayIcon << " rebuilt " << s.rebuildTaskbar;
    }
    // The object's end takes the icon away.
    g_notified.clear();
    nav.~NavigatorWnd();
    new (&nav) NavigatorWnd;
    EXPECT_EQ(std::vector<DWORD>{NIM_DELETE}, Actions());
}

TEST_F(Tray, TheMenuShowsTheSettings) {
    Start();
    g_navigator = Window();
    struct Case {
        DWORD activate, thumbnails, large, tags, textSize, column;
        bool sheetOpen;
        const char* items;
    } cases[] = {
        {1, 1, 1, 0, 2, 3, false, "32771e 5010+ 1038+ 1040+e 1041-e 32834+ 32832- 32839+e 32837-e 2000x"},
        {0, 0, 1, 1, 4, 9, true, "32771g 5010- 1038- 1040+g 1041+g 32836+ 32837-g 32844-g"},  // no item for 9
        {1, 1, 0, 1, 0, 8, false, "1040-e 1041+e 32832+ 32844+g 32837-g"},
    };
    for (const Case& c : cases) {
        settings.activate = c.activate;
        settings.showThumbnail = c.thumbnails;
        settings.iconView = c.large;
        settings.showDetailInfo = c.tags;
        settings.textSize = c.textSize;
        settings.column = c.column;
        nav.sheetOpen = c.sheetOpen;
        g_menuExpectations = c.items;
        g_menuSeen = false;
        SetTimer(nullptr, 0, 20, InspectMenu);
        EXPECT_EQ(1, SendMessageA(Window(), WM_APP + 0x81, 100, WM_RBUTTONUP));
        EXPECT_TRUE(g_menuSeen) << c.items;
    }
    nav.sheetOpen = 0;
    // Not the icon, or not a click it knows.
    EXPECT_EQ(1, SendMessageA(Window(), WM_APP + 0x81, 101, WM_RBUTTONUP));
    EXPECT_EQ(0, SendMessageA(Window(), WM_APP + 0x81, 100, WM_MOUSEMOVE));
}

TEST_F(Tray, EachCommandChangesAndSavesExactlyItsSetting) {
    Start();
    settings.Save();
    struct Case {
        UINT id;
        const char* value;  // the one registry value that changes; none for the last two
        DWORD want;
    } cases[] = {
        {32832, "TextSize", 0},   {32836, "TextSize", 4},      {1038, "ShowThumbnail", 0},
        {1038, "ShowThumbnail", 1}, {1040, "IconView", 0},     {1041, "ShowDetailInfo", 1},
        {32837, "Column", 1},     {32844, "Column", 8},        {5010, "Activate", 0},
        {5010, "Activate", 1},    {2001, nullptr, 0},  // no second monitor: nothing changes
        {32830, nullptr, 0},      // shows the Navigator, saves nothing
    };
    for (const Case& c : cases) {
        std::map<std::string, DWORD> want = Saved();
        if (c.value) want[c.value] = c.want;
        player.Clear();
        SendMessageA(Window(), WM_COMMAND, c.id, 0);
        EXPECT_EQ(want, Saved()) << c.id;
        bool listAsked = !player.Requests().empty() && player.Requests().back().lParam == kRequestTrackList;
        EXPECT_EQ(c.id == 32830, listAsked) << c.id;
    }
    // The options sheet's command while the sheet is up: nothing.
    nav.sheetOpen = 1;
    SendMessageA(Window(), WM_COMMAND, 32771, 0);
    nav.sheetOpen = 0;
}

}  // namespace
