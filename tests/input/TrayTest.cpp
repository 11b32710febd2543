// The tray icon and its quick-configuration menu on a real Navigator: what reaches the shell through
// this program's import of Shell_NotifyIconA, the menu's marks while it is open, what commands save.
#include <windows.h>
#include <shellapi.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "base/ModuleState.h"
#include "tests/support/NavigatorFixture.h"
#include "input/TrayIcon.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Windows.h"

namespace {

std::vector<DWORD> g_actions;
NOTIFYICONDATAA g_added;  // what the last NIM_ADD carried

BOOL WINAPI RecordNotification(DWORD action, PNOTIFYICONDATAA data) {
    g_actions.push_back(action);
    if (action == NIM_ADD) memcpy(&g_added, data, std::min<size_t>(data->cbSize, sizeof(g_added)));
    return TRUE;
}

// A menu item by the name a user reads and its marks: '+' checked or '-' not, then 'e' enabled or 'g'
// greyed; "x" absent.
struct Mark { const char* item; UINT id; const char* marks; };
// Each item's name with its marks as `menu` holds them, or as wanted without a menu.
std::vector<std::string> Marks(const std::vector<Mark>& items, HMENU menu = nullptr) {
    std::vector<std::string> named;
    for (const Mark& m : items) {
        UINT state = menu ? GetMenuState(menu, m.id, MF_BYCOMMAND) : 0;
        std::string marks = state == UINT(-1) ? "x" : std::string(state & MF_CHECKED ? "+" : "-") +
                                                          (state & MF_GRAYED ? "g" : "e");
        named.push_back(std::string(m.item) + " " + (menu ? marks : m.marks));
    }
    return named;
}


class Tray : public NavigatorFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(patch_.Applied());
        g_actions.clear();
    }
    // The settings as the registry holds them.
    std::map<std::string, RegistryValue> Saved() const {
        std::map<std::string, RegistryValue> values;
        for (const char* name : {"Activate", "TrayIcon", "HotKey", "Monitor", "Column", "ShowThumbnail", "IconView",
                                 "TextSize", "ShowDetailInfo"})
            values[name] = registry.Stored(name);
        return values;
    }
    LRESULT Notify(WPARAM id, LPARAM mouse, HWND window = nullptr) {
        return SendMessageA(window ? window : Window(), WM_APP + 0x81, id, mouse);
    }

private:
    ImportPatch patch_{"shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordNotification)};
};

TEST_F(Tray, TheIconFollowsTheSettingAndComesBackWithTheTaskbar) {
    registry.SetDword(HKEY_CURRENT_USER, "TrayIcon", 1);
    // A plug-in name longer than the tip, from the resource module.
    ThisModuleState().resources = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Start();
    FreeLibrary(std::exchange(ThisModuleState().resources, GetModuleHandleA(nullptr)));
    ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, g_actions);
    EXPECT_EQ(std::make_tuple(DWORD(offsetof(NOTIFYICONDATAA, hBalloonIcon)), Window(), 100u,
                              UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP), UINT(WM_APP + 0x81), true,
                              std::string(127, 'N')),  // the name, cut to the tip
              std::make_tuple(g_added.cbSize, g_added.hWnd, g_added.uID, g_added.uFlags, g_added.uCallbackMessage,
                              g_added.hIcon != nullptr, std::string(g_added.szTip)));
    // The options' OK applies the setting, then perhaps the taskbar is rebuilt.
    const struct { DWORD trayIcon; bool rebuildTaskbar; std::vector<DWORD> want; } steps[] = {
        {1, true, {NIM_DELETE, NIM_ADD}}, {0, false, {NIM_DELETE}}, {0, true, {}}, {1, false, {NIM_ADD}}};
    for (const auto& s : steps) {
        g_actions.clear();
        settings.trayIcon = s.trayIcon;
        nav.ApplySettings();
        if (s.rebuildTaskbar) {
            g_actions.clear();
            SendMessageA(Window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        }
        EXPECT_EQ(s.want, g_actions) << "tray " << s.trayIcon << " rebuilt " << s.rebuildTaskbar;
    }
    // A double-click shows the Navigator; other clicks and other icons do nothing.
    EXPECT_EQ(1, Notify(100, WM_LBUTTONDBLCLK));
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), 128), Request(Window(), 21)}), player.Requests());
    player.Clear();
    EXPECT_EQ(1, Notify(101, WM_RBUTTONUP));
    EXPECT_EQ(0, Notify(100, WM_MOUSEMOVE));
    EXPECT_TRUE(player.Received().empty());
    g_actions.clear();  // the window's end takes the icon away: no dead icon after Stop
    nav.DestroyWindow();
    EXPECT_EQ(std::vector<DWORD>{NIM_DELETE}, g_actions);
}

TEST_F(Tray, TheMenuShowsTheSettingsAndEachCommandSavesExactlyItsOwn) {
    Start();
    const struct { const char* state; DWORD activate, thumbnails, large, tags, textSize, column;
                   std::vector<Mark> items; } menus[] = {
        {"enabled, large thumbnails, normal text, 3 columns", 1, 1, 1, 0, 2, 3, {
             {"Enable This Plugin", IDC_ENABLE, "+e"},
             {"Normal", ID_QUICK_TEXT_SIZE_NORMAL, "+e"},
             {"Column : 3", ID_QUICK_COLUMN_3, "+e"},
             {"Monitor 1, one monitor: no monitor menu", ID_QUICK_MONITOR_FIRST, "x"}}},
        {"disabled, no thumbnails, very large text, 9 columns", 0, 0, 1, 1, 4, 9, {
             {"Enable This Plugin", IDC_ENABLE, "-e"},
             {"Show Thumbnail Image", IDC_THUMBNAILS, "-e"},
             {"Show Large Thumbnail Images: greyed, still checked", IDC_LARGE_THUMBNAILS, "+g"},
             {"Show Tag Information: greyed, still checked", IDC_TAG_INFO, "+g"},
             {"Column : 8, no item for 9", ID_QUICK_COLUMN_8, "-g"}}},
        {"small thumbnails with tags, very small text, 8 columns", 1, 1, 0, 1, 0, 8, {
             {"Show Large Thumbnail Images", IDC_LARGE_THUMBNAILS, "-e"},
             {"Show Tag Information", IDC_TAG_INFO, "+e"},
             {"Column : 8: greyed without large thumbnails, still checked", ID_QUICK_COLUMN_8, "+g"}}},
    };
    for (const auto& m : menus) {
        std::tie(settings.activate, settings.showThumbnail, settings.iconView, settings.showDetailInfo,
                 settings.textSize, settings.column) =
            std::make_tuple(m.activate, m.thumbnails, m.large, m.tags, m.textSize, m.column);
        HMENU menu = BuildQuickConfigMenu(settings, false);
        EXPECT_EQ(Marks(m.items), Marks(m.items, menu)) << m.state;
        DestroyMenu(menu);
    }

    LoadSettings();
    settings.monitor = 12345;  // a monitor long gone
    settings.Save();
    HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    const struct { UINT id; const char* value; DWORD want; } commands[] = {  // value: the one that changes
        {ID_QUICK_TEXT_SIZE_VERY_SMALL, "TextSize", 0},
        {IDC_THUMBNAILS, "ShowThumbnail", 0},
        {IDC_LARGE_THUMBNAILS, "IconView", 0},
        {IDC_TAG_INFO, "ShowDetailInfo", 1},
        {ID_QUICK_COLUMN_1, "Column", 1},
        {ID_QUICK_COLUMN_8, "Column", 8},
        {IDC_ENABLE, "Activate", 0},  // toggled off, then on
        {IDC_ENABLE, "Activate", 1},
        {ID_QUICK_MONITOR_FIRST + 1, nullptr, 0},  // no second monitor: nothing
        {ID_QUICK_MONITOR_FIRST, "Monitor", DWORD(reinterpret_cast<uintptr_t>(primary))},
        {ID_QUICK_SHOW_NAVIGATOR, nullptr, 0},  // shows the Navigator, saves nothing
    };
    for (const auto& c : commands) {
        std::map<std::string, RegistryValue> want = Saved();
        if (c.value) want[c.value] = Number(c.want);
        player.Clear();
        SendMessageA(Window(), WM_COMMAND, c.id, 0);
        EXPECT_EQ(want, Saved()) << c.id;
        bool listAsked = !player.Requests().empty() && player.Requests().back().lParam == kRequestTrackList;
        EXPECT_EQ(c.id == ID_QUICK_SHOW_NAVIGATOR, listAsked) << c.id;
    }
}

// One sheet at a time (a second call while it is up: the options tests): while the tray menu's sheet
// is up, the menu greys every item but "Show Navigator Window", and the commands that arrive anyway
// change and save nothing; afterwards they save again.
TEST_F(Tray, OneSheetAtATime) {
    RemotePlugin plugin(registry.Base().c_str());
    plugin.Start(0, 0, 0, 0);
    HWND window = plugin.navigator.Handle();
    std::map<std::string, RegistryValue> before = Saved();
    bool ran = false;
    WhenShown(FindPropertySheet, [&](HWND sheet) {
        const std::vector<Mark> greyed = {
            {"Configurations...", ID_QUICK_CONFIGURATIONS, "-g"},
            {"Enable This Plugin", IDC_ENABLE, "+g"},
            {"Column : 1", ID_QUICK_COLUMN_1, "-g"},
            {"Show Navigator Window: the one item left", ID_QUICK_SHOW_NAVIGATOR, "-e"}};
        std::vector<std::string> seen;  // the marks of the menu a right-click on the icon opens
        WhenShown(FindOpenMenu, [&](HWND open) {
            seen = Marks(greyed, reinterpret_cast<HMENU>(SendMessageA(open, MN_GETHMENU, 0, 0)));
            EndMenu();
        });
        EXPECT_EQ(1, Notify(100, WM_RBUTTONUP, window));
        EXPECT_EQ(Marks(greyed), seen);
        for (UINT id : {ID_QUICK_TEXT_SIZE_VERY_LARGE, IDC_TAG_INFO, ID_QUICK_COLUMN_1, IDC_ENABLE})
            SendMessageA(window, WM_COMMAND, id, 0);
        EXPECT_EQ(before, Saved());
        SendMessageA(window, WM_COMMAND, ID_QUICK_SHOW_NAVIGATOR, 0);  // still shows the Navigator
        EXPECT_EQ(Request(window, 21), player.Requests().back());
        ran = true;
        WhenShown(nullptr, nullptr);
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
    });
    SendMessageA(window, WM_COMMAND, ID_QUICK_CONFIGURATIONS, 0);
    EXPECT_TRUE(ran);
    SendMessageA(window, WM_COMMAND, ID_QUICK_TEXT_SIZE_VERY_LARGE, 0);
    EXPECT_EQ(Number(4), Saved()["TextSize"]);
}

}  // namespace
