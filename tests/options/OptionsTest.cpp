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

#include "base/Gdi.h"
#include "base/ModuleState.h"
#include "input/TrayIcon.h"
#include "options/ConfigSheet.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
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
std::string Text(HWND window) { char s[256] = {}; GetWindowTextA(window, s, sizeof(s)); return s; }
// Keys pressed together in the hot-key control, modifiers first, then let go; what the control then holds.
WORD Type(HWND control, std::vector<UINT> keys) {
    for (UINT message : {WM_KEYDOWN, WM_KEYUP})
        for (UINT key : keys) SendMessageA(control, message, key, 0);
    return static_cast<WORD>(SendMessageA(control, HKM_GETHOTKEY, 0, 0));
}

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
        std::tie(settings.trayIcon, settings.activate, settings.hotKey, settings.monitor, settings.column,
                 settings.showDetailInfo, settings.iconView, settings.showThumbnail, settings.textSize) =
            std::make_tuple(0, 1, 0x00060070, 0x0BAD0000, 3, 1, 1, 1, 2);  // Control+Alt+F1, a monitor long gone
        settings.textFont = "Liberation Serif";
        for (int i = 0; i < kColourCount; ++i) settings.colours[i] = 0x00030201 * static_cast<DWORD>(i + 1);
    }
    PluginSettings settings = {};

private:
    ImportPatch refusals_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(CountRefusal)};
};

// The Window page: the thumbnail checks grey what depends on them, from the boxes alone; Test shows
// the new look, Cancel puts everything back; a refused columns field holds Test and OK back with one
// message each; each value goes to its own setting, the colours pass through; a strange face is Arial.
TEST_F(Options, TheWindowPage) {
    Preview preview;
    auto look = [](auto& s) { return std::make_tuple(s.textSize, s.column, s.showDetailInfo, s.textFont); };
    EXPECT_EQ(IDCANCEL, RunSheet(settings, &preview, kWindow, [&](HWND sheet, HWND page) {
        const char* const sizes[] = {"Very Small", "Small", "Normal", "Large", "Very Large"};
        EXPECT_EQ(5, SendDlgItemMessageA(page, IDC_TEXT_SIZE, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < 5; ++i) EXPECT_EQ(sizes[i], Item(GetDlgItem(page, IDC_TEXT_SIZE), i));
        EXPECT_EQ(MAKELONG(10, 1), SendDlgItemMessageA(page, IDC_COLUMNS_SPIN, UDM_GETRANGE, 0, 0)) << "1 to 10";
        SetDlgItemTextA(page, IDC_COLUMNS, "");
        SendDlgItemMessageA(page, IDC_COLUMNS, WM_CHAR, 'x', 0);
        EXPECT_EQ("", Text(GetDlgItem(page, IDC_COLUMNS))) << "digits only";  // refused, but the boxes still rule
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
    settings.textFont = "No Such Face";
    const PluginSettings before = settings;
    NavigatorWnd windowless;
    EXPECT_EQ(IDOK, RunSheet(settings, &windowless, kWindow, [&](HWND sheet, HWND page) {
        EXPECT_FALSE(Enabled(page, IDC_TEST)) << "Test without a Navigator window";
        SendDlgItemMessageA(page, IDC_TEXT_SIZE, CB_SETCURSEL, 0, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_TEST, BN_CLICKED), LPARAM(GetDlgItem(page, IDC_TEST)));
        EXPECT_EQ(2ul, settings.textSize) << "Test wrote without a window to show";
        Click(page, IDC_LARGE_THUMBNAILS);  // large thumbnails off, track thumbnails on
        SetDlgItemTextA(page, IDC_COLUMNS, "");
        Press(sheet, PSBTN_OK);
        EXPECT_TRUE(IsWindow(sheet)) << "OK went through with an empty columns field";
        SetDlgItemTextA(page, IDC_COLUMNS, "0");  // no range check: stored as typed
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(2, g_refusals);
    EXPECT_EQ(std::make_tuple(0ul, 0ul, 1ul, 0ul, std::string("Arial")), std::make_tuple(settings.textSize,
              settings.column, settings.showThumbnail, settings.iconView, settings.textFont));
    EXPECT_TRUE(std::equal(before.colours, before.colours + kColourCount, settings.colours)) << "the colours";
    settings.textFont = "No Such Face";  // a page never shown takes no part: nothing reads the face
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, kInfoSmz, [](HWND sheet, HWND) { Press(sheet, PSBTN_OK); }));
    EXPECT_EQ("No Such Face", settings.textFont);
}

// The recently used faces lead the font list: the latest first, each once (the face chosen twice), no more than
// "MRU_MaxNumber", installed ones only. The stored face is found by its whole name before a longer one.
TEST_F(Options, TheRecentlyUsedFaces) {
    const std::string file = std::string(getenv("WINDIR")) + "\\options_tests.INI";  // where the system keeps it
    // Each visit: the profile file written first (if any), the face stored, the faces listed above the others.
    const struct { const char* what; const char* file; bool locked; const char* face; std::vector<std::string> listed; }
        visits[] = {
        {"a file of nonsense", "MRU_Count=9999\nMRU_Entry_0=\x01\x02\nMRU_MaxNumber=-3", false, "Liberation Mono", {}},
        {"the face chosen", nullptr, false, "Liberation Sans", {"Liberation Mono"}},
        {"the latest first", nullptr, false, "Liberation Mono", {"Liberation Sans", "Liberation Mono"}},
        {"a face gone, a longer name above", "MRU_MaxNumber=2\nMRU_Count=3\nMRU_Entry_0=Gone Face\n"
            "MRU_Entry_1=Liberation Sans Narrow\nMRU_Entry_2=Liberation Mono", false, "Liberation Sans",
            {"Liberation Sans Narrow", "Liberation Mono"}},
        {"a file to read only, no more than the maximum", nullptr, true, "Liberation Mono",
            {"Liberation Sans", "Liberation Sans Narrow"}},
    };
    for (const auto& v : visits) {
        SCOPED_TRACE(v.what);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // nothing cached
        if (v.file) std::ofstream(file) << "[Font_MRU]\n" << v.file << "\n";
        // Held open without write sharing: read-only even to an administrator, whom the attribute does not bind.
        HANDLE reader = v.locked ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                               nullptr) : INVALID_HANDLE_VALUE;
        const std::string kept = ReadWholeFile(file);
        settings.textFont = v.face;
        EXPECT_EQ(IDOK, RunSheet(settings, nullptr, kWindow, [&](HWND sheet, HWND page) {
            HWND combo = GetDlgItem(page, IDC_FONT);
            EXPECT_EQ(v.face, Text(combo)) << "the face selected";
            std::vector<std::string> listed;
            for (WPARAM i = 0; SendMessageA(combo, CB_GETITEMDATA, i, 0) == 1; ++i) listed.push_back(Item(combo, i));
            EXPECT_EQ(v.listed, listed);
            Press(sheet, PSBTN_OK);
        }));
        if (v.locked) CloseHandle(reader);
        EXPECT_EQ(v.locked, kept == ReadWholeFile(file)) << "whether the file was left as it was";
    }
    EXPECT_EQ(0, g_refusals);
    DeleteFileA(file.c_str());
}

// On each road the options save and apply on OK only: the player's call on a plug-in not started
// (a window for the time of the sheet) or started, and the tray menu's "Configurations...". A second
// call while the sheet is up shows none. The General page shows what is stored: the hot key, the
// monitor (the primary one; on the menu's road, where nothing is loaded anew, one long gone, which
// OK leaves). A key typed alone or with Shift alone gets Control+Alt: it
// is taken from every program. The last key typed is taken at once where the window stays.
TEST_F(Options, EveryRoadSavesAndAppliesOnOkOnly) {
    const WORD controlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
    const struct { const char* what; std::vector<UINT> keys; WORD holds; } typed[] = {
        {"a letter alone", {'A'}, MAKEWORD('A', controlAlt)},
        {"a function key with Shift", {VK_SHIFT, VK_F5}, MAKEWORD(VK_F5, controlAlt)},
        {"a digit with Control", {VK_CONTROL, '7'}, MAKEWORD('7', HOTKEYF_CONTROL)},
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
    };
    const struct { const char* road; bool started, tray; } roads[] = {
        {"the player's call before Start", false, false}, {"the player's call after Start", true, false},
        {"the tray menu", true, true}};
    const DWORD primary = DWORD(LONG_PTR(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY)));
    for (const auto& r : roads)
        for (WPARAM press : {PSBTN_CANCEL, PSBTN_OK}) {
            SCOPED_TRACE(std::string(r.road) + (press == PSBTN_OK ? ", OK" : ", Cancel"));
            RegistryScratch registry("Options");
            registry.SetDword(HKEY_CURRENT_USER, "HotKey", 0x00030071);  // Control+Shift+F2
            RemotePlugin plugin(registry.Base().c_str());
            if (r.started) plugin.Start(0, 0, 0, 0);
            plugin.settings.monitor = 0x0BAD0000;
            WhenShown(FindPropertySheet, [&](HWND sheet) {
                EXPECT_TRUE(plugin.navigator.Exists()) << "a window for the time of the sheet";
                if (!r.tray) plugin.Configure(nullptr);  // returns at once
                HWND page = ShowPage(sheet, kGeneral), monitors = GetDlgItem(page, IDC_MONITOR);
                EXPECT_EQ(std::make_tuple(LRESULT(MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_SHIFT)), LRESULT(1),
                                          std::string("DISPLAY1"), r.tray ? CB_ERR : 0),
                          std::make_tuple(SendDlgItemMessageA(page, IDC_HOT_KEY, HKM_GETHOTKEY, 0, 0),
                                          SendMessageA(monitors, CB_GETCOUNT, 0, 0), Item(monitors, 0),
                                          SendMessageA(monitors, CB_GETCURSEL, 0, 0)));
                for (const auto& t : typed) EXPECT_EQ(t.holds, Type(GetDlgItem(page, IDC_HOT_KEY), t.keys)) << t.what;
                Click(page, IDC_TRAY_ICON);
                Click(page, IDC_ENABLE);
                page = ShowPage(sheet, kWindow);
                SendDlgItemMessageA(page, IDC_TEXT_SIZE, CB_SETCURSEL, 4, 0);
                SetDlgItemTextA(page, IDC_COLUMNS, "7");
                Click(page, IDC_TAG_INFO);
                Press(sheet, press);
            });
            if (r.tray) SendMessageA(plugin.navigator.Handle(), WM_COMMAND, ID_QUICK_CONFIGURATIONS, 0);
            else plugin.Configure(nullptr);
            EXPECT_EQ(r.started, plugin.navigator.Exists()) << "the window made for the sheet stays";
            for (const auto& s : stored) {
                DWORD want = press == PSBTN_OK ? s.ok : s.cancel, value = 0;
                if (!registry.GetDword(s.value, &value)) value = kNone;
                EXPECT_EQ(want != kPrimary ? want : r.tray ? 0x0BAD0000 : primary, value) << s.what;
            }
            std::string face;  // the Window page's face as loaded
            DWORD type = 0;
            registry.GetString("TextFont", &face, &type);
            EXPECT_EQ(press == PSBTN_OK ? "REG_SZ Arial" : "0 ", (type == REG_SZ ? "REG_SZ" : "0") + (" " + face));
            BOOL free = RegisterHotKey(nullptr, 7, MOD_ALT, VK_F9) && UnregisterHotKey(nullptr, 7);
            EXPECT_EQ(r.started && press == PSBTN_OK, !free) << "whether the hot key was applied";
        }
}

// Why a control's text does not fit it in the control's own font; empty when it fits. Wine's dialog
// font is not Windows', so a text must leave a margin; a check box's text follows its box and gap.
std::string Clipping(HWND control) {
    constexpr int kMargin = 6;
    char kind[32] = {};
    GetClassNameA(control, kind, sizeof(kind));
    const std::string text = Text(control);
    const UINT style = static_cast<UINT>(GetWindowLongA(control, GWL_STYLE));
    const bool isStatic = !lstrcmpiA(kind, "Static"), button = !lstrcmpiA(kind, "Button");
    if (text.empty() || (isStatic && (style & SS_TYPEMASK) > SS_RIGHT) || (!isStatic && !button)) return "";
    ClientDC dc(control);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));  // released with the DC
    const UINT type = button ? style & BS_TYPEMASK : BS_PUSHBUTTON;
    bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    // The box and half a digit before a check box's text; the frame's inset around a group's or a button's.
    const int lead = box ? GetSystemMetrics(SM_CXMENUCHECK) + LOWORD(GetTabbedTextExtentA(dc, "0", 1, 0, nullptr)) / 2
                         : !button ? 0 : 2 * (type == BS_GROUPBOX ? 7 : GetSystemMetrics(SM_CXEDGE));
    RECT client, need = {};
    GetClientRect(control, &client);
    const int room = need.right = client.right - kMargin - lead;  // a static text breaks its lines there
    DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_EXPANDTABS | (isStatic ? DT_WORDBREAK : DT_SINGLELINE));
    if (need.right <= room && need.bottom <= client.bottom) return "";
    return "control " + std::to_string(short(GetDlgCtrlID(control))) + " \"" + text + "\"";
}

// Each page as the user sees it in each language we ship, from that language's own resources like
// the tray menu and the strings; every text fits its control.
TEST_F(Options, EveryPageInEveryLanguage) {
    const std::string pack = ProgramFolder() + "options_tests.DEU";  // the German pack, placed as beside the module
    const struct { DWORD id; const char* title; const char* captions[4]; const char* menu; } languages[] = {
        {0x0409, "Remote Control Options", {"General", "Window", "Info (MCE)", "Info (SMZ)"}, "&Configurations..."},
        {0x0407, "Fernbedienungsoptionen", {"Allgemein", "Fenster", "Info (MCE)", "Info (SMZ)"}, "&Einstellungen..."}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.title);
        if (l.id != 0x0409) CopyFileA((ProgramFolder() + "Rembrix.DEU").c_str(), pack.c_str(), FALSE);
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Halvorn", "UI_LanguageID", REG_DWORD, &l.id, sizeof(l.id));
        theApp.InitInstance(GetModuleHandleA(nullptr));
        HMENU menu = BuildQuickConfigMenu(settings, false);
        char item[64] = {};
        GetMenuStringA(menu, ID_QUICK_CONFIGURATIONS, item, sizeof(item), MF_BYCOMMAND);
        HMENU quick = GetSubMenu(menu, 1);  // with one monitor, no separator where the monitors were
        EXPECT_EQ(0u, GetMenuState(quick, GetMenuItemCount(quick) - 1, MF_BYPOSITION) & MF_SEPARATOR);
        DestroyMenu(menu);
        EXPECT_STREQ(l.menu, item);
        RunSheet(settings, nullptr, kGeneral, [&](HWND sheet, HWND) {
            EXPECT_EQ(l.title, Text(sheet));
            for (Page page : {kGeneral, kWindow, kInfoMce, kInfoSmz}) {
                HWND p = ShowPage(sheet, page);
                EXPECT_EQ(l.captions[page], Text(p));
                for (HWND c = GetWindow(p, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    EXPECT_EQ("", Clipping(c)) << l.captions[page];
            }
            Press(sheet, PSBTN_CANCEL);
        });
        theApp.ExitInstance();
        EXPECT_EQ("Remote Control Options", LoadResString(IDS_OPTIONS_TITLE)) << "the pack given up";
    }
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Halvorn", "UI_LanguageID");
    DeleteFileA(pack.c_str());
}

}  // namespace
