// The options sheet driven by message, as a user would, from a timer inside its modal loop: what
// ends up in the settings record, the registry and the profile file, and how each page reads in
// every language we ship.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>
#include <gtest/gtest.h>

#include "input/TrayIcon.h"
#include "options/ConfigSheet.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/Windows.h"

namespace {

enum Page { kGeneral, kWindow, kInfoMce, kInfoSmz };

// Runs a sheet and shows `page`, where `act` works and ends the sheet.
INT_PTR RunSheet(PluginSettings& settings, OptionsPreview* preview, Page page, std::function<void(HWND, HWND)> act) {
    WhenShown(FindPropertySheet, [=](HWND sheet) { act(sheet, ShowPage(sheet, page)); });
    return CConfigSheet(&settings, preview, nullptr).DoModal();
}
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
std::string Item(HWND box, WPARAM i) { char s[64] = {}; SendMessageA(box, CB_GETLBTEXT, i, LPARAM(s)); return s; }
std::string Caption(HWND window) { char s[256] = {}; GetWindowTextA(window, s, sizeof(s)); return s; }

// The refusal of a field, counted and answered at once as a user's OK would.
int g_refusals = 0;
int WINAPI CountRefusal(HWND, LPCSTR, LPCSTR, UINT) { return ++g_refusals, IDOK; }

// A Navigator with a window, counting the times Test shows it.
struct Preview : OptionsPreview {
    bool HasPreviewWindow() const override { return true; }
    void ShowPreview() override { ++shown; }
    int shown = 0;
};

class Options : public ::testing::Test {
protected:
    void SetUp() override {  // settings as a user's might stand
        ASSERT_TRUE(refusals_.Applied());
        g_refusals = 0;
        theApp.InitInstance(GetModuleHandleA(nullptr));
        std::tie(settings.column, settings.showDetailInfo, settings.iconView, settings.showThumbnail,
                 settings.textSize) = std::make_tuple(3, 1, 1, 1, 2);
        settings.textFont = "Liberation Serif";
    }
    PluginSettings settings = {};

private:
    ImportPatch refusals_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(CountRefusal)};
};

// The Window page: the thumbnail checks grey what depends on them, from the boxes alone; Test shows
// the new look, Cancel puts everything back; a refused columns field holds Test back with one
// message; a columns value out of range is stored as typed.
TEST_F(Options, TheWindowPage) {
    Preview preview;
    auto look = [](auto& s) { return std::make_tuple(s.textSize, s.column, s.showDetailInfo, s.textFont); };
    EXPECT_EQ(IDCANCEL, RunSheet(settings, &preview, kWindow, [&](HWND sheet, HWND page) {
        EXPECT_EQ(MAKELONG(10, 1), SendDlgItemMessageA(page, IDC_COLUMNS_SPIN, UDM_GETRANGE, 0, 0)) << "1 to 10";
        SetDlgItemTextA(page, IDC_COLUMNS, "");
        SendDlgItemMessageA(page, IDC_COLUMNS, WM_CHAR, 'x', 0);
        EXPECT_EQ("", Caption(GetDlgItem(page, IDC_COLUMNS))) << "digits only";  // refused, but the boxes still rule
        // After each click: whether large thumbnails and tags, and the columns are enabled (large goes off while
        // greyed, then on).
        const struct { int click; bool thumbnails, grid; } steps[] = {{0, true, true}, {IDC_THUMBNAILS, false, false},
            {IDC_LARGE_THUMBNAILS, false, false}, {IDC_THUMBNAILS, true, false}, {IDC_LARGE_THUMBNAILS, true, true}};
        for (const auto& s : steps) {
            if (s.click) Click(page, s.click);
            for (int id : {IDC_LARGE_THUMBNAILS, IDC_TAG_INFO, IDC_COLUMNS, IDC_COLUMNS_SPIN})
                EXPECT_EQ(id >= IDC_COLUMNS ? s.grid : s.thumbnails, Enabled(page, id)) << s.click << ": " << id;
        }
        EXPECT_EQ(0, g_refusals) << "a check box answered with the refusal";
        Click(page, IDC_TEST);  // Test, available with a Navigator
        EXPECT_EQ(std::make_tuple(1, 0), std::make_tuple(g_refusals, preview.shown)) << "Test with the field refused";
        SendDlgItemMessageA(page, IDC_TEXT_SIZE, CB_SETCURSEL, 4, 0);
        SetDlgItemTextA(page, IDC_COLUMNS, "7");
        Click(page, IDC_TAG_INFO);
        Click(page, IDC_TEST);
        EXPECT_EQ(std::make_tuple(4ul, 7ul, 0ul, std::string("Liberation Serif")), look(settings));
        EXPECT_EQ(1, preview.shown);
        Press(sheet, PSBTN_CANCEL);
    }));
    EXPECT_EQ(std::make_tuple(2ul, 3ul, 1ul, std::string("Liberation Serif")), look(settings));  // as before
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, kWindow, [&](HWND sheet, HWND page) {
        SetDlgItemTextA(page, IDC_COLUMNS, "0");  // no range check: stored as typed
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(std::make_tuple(1, 0ul), std::make_tuple(g_refusals, settings.column));
}

// The recently used faces lead the font list: the latest first, each once (the face chosen twice), no more than
// "MRU_MaxNumber", installed ones only. The stored face is found by its whole name before a longer one.
TEST_F(Options, TheRecentlyUsedFaces) {
    const std::string file = std::string(getenv("WINDIR")) + "\\options_tests.INI";  // where the system keeps it
    // Each visit: the profile file written first (if any), the face stored, the faces listed above the others.
    const struct { const char* what; const char* file; const char* face; std::vector<std::string> listed; }
        visits[] = {
        {"a file of nonsense", "MRU_Count=9999\nMRU_Entry_0=\x01\x02\nMRU_MaxNumber=-3", "Liberation Mono", {}},
        {"the face chosen", nullptr, "Liberation Sans", {"Liberation Mono"}},
        {"the latest first", nullptr, "Liberation Mono", {"Liberation Sans", "Liberation Mono"}},
        {"a face gone, a longer name above", "MRU_MaxNumber=2\nMRU_Count=3\nMRU_Entry_0=Gone Face\n"
            "MRU_Entry_1=Liberation Sans Narrow\nMRU_Entry_2=Liberation Mono", "Liberation Sans",
            {"Liberation Sans Narrow", "Liberation Mono"}},
        {"no more than the maximum", nullptr, "Liberation Mono",
            {"Liberation Sans", "Liberation Sans Narrow"}},
    };
    for (const auto& v : visits) {
        SCOPED_TRACE(v.what);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // nothing cached
        if (v.file) std::ofstream(file) << "[Font_MRU]\n" << v.file << "\n";
        settings.textFont = v.face;
        EXPECT_EQ(IDOK, RunSheet(settings, nullptr, kWindow, [&](HWND sheet, HWND page) {
            HWND combo = GetDlgItem(page, IDC_FONT);
            EXPECT_EQ(v.face, Caption(combo)) << "the face selected";
            std::vector<std::string> listed;
            for (WPARAM i = 0; SendMessageA(combo, CB_GETITEMDATA, i, 0) == 1; ++i) listed.push_back(Item(combo, i));
            EXPECT_EQ(v.listed, listed);
            Press(sheet, PSBTN_OK);
        }));
    }
    DeleteFileA(file.c_str());
}

// On each road the options save and apply on OK only: the player's call on a plug-in not started
// (a window for the time of the sheet), and the tray menu's "Configurations..." of a started one. A second
// call while the sheet is up shows none. The General page shows what is stored: the hot key, the
// monitor (the primary one; on the menu's road, where nothing is loaded anew, one long gone, which
// OK leaves). A key typed alone or with Shift alone gets Control+Alt: it
// is taken from every program. The last key typed is taken at once where the window stays.
TEST_F(Options, EveryRoadSavesAndAppliesOnOkOnly) {
    const WORD controlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
    const struct { const char* what; std::vector<UINT> keys; WORD holds; } typed[] = {
        {"a letter alone", {'A'}, MAKEWORD('A', controlAlt)},
        {"a function key with Shift", {VK_SHIFT, VK_F5}, MAKEWORD(VK_F5, controlAlt)},
        {"a function key with Alt", {VK_MENU, VK_F9}, MAKEWORD(VK_F9, HOTKEYF_ALT)}};
    // What each page's controls store on OK, each a REG_DWORD (the face: below); on Cancel only the hot key
    // stored before is there.
    constexpr DWORD kNone = 0xDEAD, kPrimary = 0xBEEF;  // no REG_DWORD stored; the monitor of the road
    const struct { const char* what; const char* value; DWORD ok, cancel; } stored[] = {
        {"General: Enable This Plugin cleared", "Activate", 0, kNone},
        {"General: Show Tray Icon checked", "TrayIcon", 1, kNone},
        {"General: Alt (bits 16-18) with F9 (the low word)", "HotKey", 0x00040078, 0x00030071},
        {"General: the monitor, on the menu's road the one long gone", "Monitor", kPrimary, kNone},
        {"Window: Very Large", "TextSize", 4, kNone},
        {"Window: the columns typed", "Column", 7, kNone},
        {"Window: Show Tag Information checked", "ShowDetailInfo", 1, kNone},
        {"Window: Show Thumbnail Image as it was", "ShowThumbnail", 1, kNone},
        {"Window: Show Large Thumbnail Images cleared", "IconView", 0, kNone},
    };
    const struct { const char* road; bool started, tray; } roads[] = {
        {"the player's call before Start", false, false}, {"the tray menu", true, true}};
    const DWORD primary = DWORD(LONG_PTR(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY)));
    for (const auto& r : roads)
        for (WPARAM press : {PSBTN_CANCEL, PSBTN_OK}) {
            SCOPED_TRACE(std::string(r.road) + (press == PSBTN_OK ? ", OK" : ", Cancel"));
            RegistryScratch registry("Options");
            registry.SetDword(HKEY_CURRENT_USER, "HotKey", 0x00030071);  // Control+Shift+F2
            registry.Put(HKEY_CURRENT_USER, "TextFont", Text("No Such Face"));
            RemotePlugin plugin(registry.Base().c_str());
            if (r.started) plugin.Start(0, 0, 0, 0);
            plugin.settings.monitor = 0x0BAD0000;
            WhenShown(FindPropertySheet, [&](HWND sheet) {
                EXPECT_TRUE(plugin.navigator.Exists()) << "a window for the time of the sheet";
                if (!r.tray) plugin.Configure(nullptr);  // returns at once
                HWND page = ShowPage(sheet, kGeneral);
                const LRESULT shown = MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
                EXPECT_EQ(std::make_tuple(shown, r.tray ? CB_ERR : 0),
                          std::make_tuple(SendDlgItemMessageA(page, IDC_HOT_KEY, HKM_GETHOTKEY, 0, 0),
                                          SendDlgItemMessageA(page, IDC_MONITOR, CB_GETCURSEL, 0, 0)));
                HWND hotKey = GetDlgItem(page, IDC_HOT_KEY);
                for (const auto& t : typed) {  // the keys pressed together, modifiers first, then let go
                    for (UINT message : {WM_KEYDOWN, WM_KEYUP})
                        for (UINT key : t.keys) SendMessageA(hotKey, message, key, 0);
                    EXPECT_EQ(t.holds, SendMessageA(hotKey, HKM_GETHOTKEY, 0, 0)) << t.what;
                }
                Click(page, IDC_TRAY_ICON);
                Click(page, IDC_ENABLE);
                page = ShowPage(sheet, kWindow);
                SendDlgItemMessageA(page, IDC_TEXT_SIZE, CB_SETCURSEL, 4, 0);
                SetDlgItemTextA(page, IDC_COLUMNS, "7");
                Click(page, IDC_TAG_INFO);
                Click(page, IDC_LARGE_THUMBNAILS);
                Press(sheet, press);
            });
            if (r.tray) SendMessageA(plugin.navigator.Handle(), WM_COMMAND, ID_QUICK_CONFIGURATIONS, 0);
            else plugin.Configure(nullptr);
            EXPECT_EQ(r.started, plugin.navigator.Exists()) << "the window made for the sheet stays";
            for (const auto& s : stored) {
                DWORD want = press == PSBTN_OK ? s.ok : s.cancel;
                want = want != kPrimary ? want : r.tray ? 0x0BAD0000 : primary;
                EXPECT_EQ(want == kNone ? RegistryValue() : Number(want), registry.Stored(s.value)) << s.what;
            }
            // A face not installed is Arial once the Window page has shown it.
            EXPECT_EQ(Text(press == PSBTN_OK ? "Arial" : "No Such Face"), registry.Stored("TextFont"));
            BOOL free = RegisterHotKey(nullptr, 7, MOD_ALT, VK_F9) && UnregisterHotKey(nullptr, 7);
            EXPECT_EQ(r.started && press == PSBTN_OK, !free) << "whether the hot key was applied";
        }
}

// The sheet and the tray menu read in German from the pack beside the module, and in the module's own
// language once the pack is given up; with one monitor, no separator is left where the monitors were.
TEST_F(Options, TheSheetAndTheMenuFromTheGermanPack) {
    const std::string pack = ProgramFolder() + "options_tests.DEU";  // placed as beside the module
    CopyFileA((ProgramFolder() + "Rembrix.DEU").c_str(), pack.c_str(), FALSE);
    const DWORD german = 0x0407;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Halvorn", "UI_LanguageID", REG_DWORD, &german, sizeof(german));
    theApp.InitInstance(GetModuleHandleA(nullptr));
    HMENU menu = BuildQuickConfigMenu(settings, false);
    char item[64] = {};
    GetMenuStringA(menu, ID_QUICK_CONFIGURATIONS, item, sizeof(item), MF_BYCOMMAND);
    EXPECT_STREQ("&Einstellungen...", item);
    HMENU quick = GetSubMenu(menu, 1);
    EXPECT_EQ(0u, GetMenuState(quick, GetMenuItemCount(quick) - 1, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);
    RunSheet(settings, nullptr, kGeneral, [&](HWND sheet, HWND) {
        std::vector<std::string> titles = {Caption(sheet)};  // the sheet's, then each page's
        for (Page page : {kGeneral, kWindow, kInfoMce, kInfoSmz}) titles.push_back(Caption(ShowPage(sheet, page)));
        EXPECT_EQ((std::vector<std::string>{"Fernbedienungsoptionen", "Allgemein", "Fenster", "Info (MCE)",
                                            "Info (SMZ)"}), titles);
        Press(sheet, PSBTN_CANCEL);
    });
    theApp.ExitInstance();
    EXPECT_EQ("Remote Control Options", LoadResString(IDS_OPTIONS_TITLE)) << "the pack given up";
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Halvorn", "UI_LanguageID");
    DeleteFileA(pack.c_str());
}

}  // namespace
