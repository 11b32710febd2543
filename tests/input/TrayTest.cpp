// The tray icon and its quick-configuration menu on a real Navigator: what reaches the shell through
// this program's import of Shell_NotifyIconA, the menu's marks while it is open, what commands save.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <new>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "base/ModuleState.h"
#include "tests/navigator/NavigatorFixture.h"
#include "tests/support/ImportPatch.h"

namespace {

std::vector<DWORD> g_actions;
NOTIFYICONDATAA g_added;  // what the last NIM_ADD carried

BOOL WINAPI RecordNotification(DWORD action, PNOTIFYICONDATAA data) {
    g_actions.push_back(action);
    if (action == NIM_ADD) memcpy(&g_added, data, std::min<size_t>(data->cbSize, sizeof(g_added)));
    return TRUE;
}

// Item ids with their marks, as the open menu shows them: '+' checked or '-' not, then 'g' greyed
// or 'e' enabled; 'x' absent.
std::string g_menuWanted, g_menuSeen;

void CALLBACK InspectMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    std::istringstream items(g_menuWanted);
    std::string marks;
    for (UINT id; items >> id >> marks;) {
        UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        g_menuSeen += " " + std::to_string(id) + (state == UINT(-1) ? "x" : state & MF_CHECKED ? "+" : "-");
        if (state != UINT(-1)) g_menuSeen += state & MF_GRAYED ? "g" : "e";
    }
    EndMenu();
}

class Tray : public NavigatorFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(patch_.Applied());
        g_actions.clear();
    }
    // The settings as the registry holds them.
    std::map<std::string, DWORD> Saved() const {
        std::map<std::string, DWORD> values;
        for (const char* name : {"Activate", "TrayIcon", "HotKey", "Monitor", "Column", "ShowThumbnail", "IconView",
                                 "TextSize", "ShowDetailInfo"})
            registry.GetDword(name, &(values[name] = 0xDEAD));
        return values;
    }
    LRESULT Notify(WPARAM id, LPARAM mouse) { return SendMessageA(Window(), WM_APP + 0x81, id, mouse); }

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
    g_actions.clear();  // the object's end takes the icon away
    nav.~TestNavigator();
    new (&nav) TestNavigator;
    EXPECT_EQ(std::vector<DWORD>{NIM_DELETE}, g_actions);
}

TEST_F(Tray, TheMenuShowsTheSettingsAndEachCommandSavesExactlyItsOwn) {
    Start();
    const struct { DWORD activate, thumbnails, large, tags, textSize, column, sheet; const char* items; } menus[] = {
        {1, 1, 1, 0, 2, 3, 0, "32771-e 5010+e 1038+e 1040+e 1041-e 32834+e 32832-e 32839+e 32837-e 2000x"},
        {0, 0, 1, 1, 4, 9, 1, "32771-g 5010-e 1038-e 1040+g 1041+g 32836+e 32837-g 32844-g"},  // no item for 9
        {1, 1, 0, 1, 0, 8, 0, "1040-e 1041+e 32832+e 32844+g 32837-g"},
    };
    for (const auto& m : menus) {
        DWORD sheet = 0;
        std::tie(settings.activate, settings.showThumbnail, settings.iconView, settings.showDetailInfo,
                 settings.textSize, settings.column, sheet) =
            std::make_tuple(m.activate, m.thumbnails, m.large, m.tags, m.textSize, m.column, m.sheet);
        nav.SetSheetOpen(sheet != 0);
        g_menuWanted = m.items;
        g_menuSeen.clear();
        SetTimer(nullptr, 0, 20, InspectMenu);
        EXPECT_EQ(1, Notify(100, WM_RBUTTONUP));
        EXPECT_EQ(" " + g_menuWanted, g_menuSeen);
    }

    LoadSettings();
    settings.monitor = 12345;  // a monitor long gone
    settings.Save();
    const struct { UINT id; const char* value; DWORD want; } commands[] = {  // value: the one that changes
        {32832, "TextSize", 0},  {32836, "TextSize", 4},      {1038, "ShowThumbnail", 0}, {1038, "ShowThumbnail", 1},
        {1040, "IconView", 0},   {1041, "ShowDetailInfo", 1}, {32837, "Column", 1},       {32844, "Column", 8},
        {5010, "Activate", 0},   {5010, "Activate", 1},       {2001, nullptr, 0},  // no second monitor: nothing
        {2000, "Monitor", DWORD(reinterpret_cast<uintptr_t>(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY)))},
        {32830, nullptr, 0},  // shows the Navigator, saves nothing
    };
    for (const auto& c : commands) {
        std::map<std::string, DWORD> want = Saved();
        if (c.value) want[c.value] = c.want;
        player.Clear();
        SendMessageA(Window(), WM_COMMAND, c.id, 0);
        EXPECT_EQ(want, Saved()) << c.id;
        bool listAsked = !player.Requests().empty() && player.Requests().back().lParam == kRequestTrackList;
        EXPECT_EQ(c.id == 32830, listAsked) << c.id;
    }
}

}  // namespace
