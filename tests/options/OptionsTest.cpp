// The options sheet driven by message, as a user would with the mouse and keyboard, from a timer
// inside its modal loop: what ends up in the settings record, the registry and the profile file.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "options/ConfigSheet.h"
#include "plugin/Monitors.h"
#include "plugin/PluginSettings.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/Windows.h"

namespace {

constexpr WPARAM kPressOk = 3, kPressCancel = 5;  // PSBTN_OK, PSBTN_CANCEL
enum Page { kGeneral, kWindow, kInfoMce, kInfoSmz };

std::function<void(HWND)> g_drive;

// Once the sheet is up, hands it to the test's driver, which ends it.
void CALLBACK Drive(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND sheet = FindPropertySheet();
    if (!sheet) return;
    KillTimer(nullptr, timer);
    auto drive = std::move(g_drive);
    drive(sheet);
}

INT_PTR RunSheet(PluginSettings& settings, OptionsPreview* preview, std::function<void(HWND)> drive) {
    g_drive = std::move(drive);
    SetTimer(nullptr, 0, 50, Drive);
    CConfigSheet sheet(&settings, preview, nullptr);
    return sheet.DoModal();
}

HWND ShowPage(HWND sheet, Page page) {
    SendMessageA(sheet, PSM_SETCURSEL, page, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// Settings as a user's might stand, with every field set.
PluginSettings Stored() {
    PluginSettings s;
    for (int i = 0; i < kColourCount; ++i) s.colours[i] = RGB(i, 2 * i, 3 * i);
    s.trayIcon = 0;
    s.activate = 1;
    s.hotKey = 0x00060070;  // Control+Alt+F1
    s.monitor = 0x0BAD0000;  // a monitor long gone
    s.column = 3;
    s.showDetailInfo = 1;
    s.iconView = 1;
    s.showThumbnail = 1;
    s.textSize = 2;
    s.textFont = "Liberation Serif";
    s.marginX = 7;
    s.marginY = 9;
    s.keyPath = "Software\\Somewhere\\Rembrix";
    return s;
}

bool Same(const PluginSettings& a, const PluginSettings& b) {
    return memcmp(a.colours, b.colours, sizeof(a.colours)) == 0 && a.trayIcon == b.trayIcon &&
           a.activate == b.activate && a.hotKey == b.hotKey && a.monitor == b.monitor && a.column == b.column &&
           a.showDetailInfo == b.showDetailInfo && a.iconView == b.iconView && a.showThumbnail == b.showThumbnail &&
           a.textSize == b.textSize && a.textFont == b.textFont && a.marginX == b.marginX &&
           a.marginY == b.marginY && a.keyPath == b.keyPath;
}

struct Preview : OptionsPreview {
    bool HasPreviewWindow() const override { return true; }
    void ShowPreview() override { seen.push_back(*settings); }
    PluginSettings* settings = nullptr;
    std::vector<PluginSettings> seen;
};

class Options : public ::testing::Test {
protected:
    void SetUp() override { theApp.InitInstance(GetModuleHandleA(nullptr)); }
    PluginSettings settings = Stored();
};

TEST_F(Options, TheGeneralPageKeepsWhatItIsNotToldAndWritesWhatItIs) {
    ASSERT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kGeneral);
        // Control+Alt+F1 shows as such; the monitor that is gone selects nothing.
        EXPECT_EQ(MAKEWORD(0x70, HOTKEYF_CONTROL | HOTKEYF_ALT), SendDlgItemMessageA(page, 5011, HKM_GETHOTKEY, 0, 0));
        EXPECT_EQ(static_cast<LRESULT>(EnumerateMonitors().size()), SendDlgItemMessageA(page, 5012, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(CB_ERR, SendDlgItemMessageA(page, 5012, CB_GETCURSEL, 0, 0));
        char name[32] = {};
        SendDlgItemMessageA(page, 5012, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(name));
        EXPECT_STREQ("DISPLAY1", name);
        Click(page, 5009);
        Click(page, 5010);
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
    }));
    EXPECT_EQ(0x00060070u, settings.hotKey);
    EXPECT_EQ(0x0BAD0000u, settings.monitor);
    EXPECT_EQ(1u, settings.trayIcon);
    EXPECT_EQ(0u, settings.activate);

    ASSERT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kGeneral);
        SendDlgItemMessageA(page, 5011, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
        SendDlgItemMessageA(page, 5012, CB_SETCURSEL, 0, 0);
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
    }));
    EXPECT_EQ(0x00010074u, settings.hotKey);
    EXPECT_EQ(EnumerateMonitors()[0].handle, settings.Monitor());
}

TEST_F(Options, TheThumbnailChecksGreyWhatDependsOnThem) {
    RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kWindow);
        struct Step {
            int click;  // 0: as set up
            bool large, tags, columns;
        } steps[] = {
            {0, true, true, true},
            {1038, false, false, false},  // thumbnails off
            {1040, false, false, false},  // large off, while greyed
            {1038, true, true, false},    // thumbnails on, large still off
            {1040, true, true, true},
        };
        for (const Step& s : steps) {
            if (s.click) Click(page, s.click);
            EXPECT_EQ(s.large, Enabled(page, 1040)) << "after " << s.click;
            EXPECT_EQ(s.tags, Enabled(page, 1041)) << "after " << s.click;
            EXPECT_EQ(s.columns, Enabled(page, 1044)) << "after " << s.click;
            EXPECT_EQ(s.columns, Enabled(page, 1045)) << "after " << s.click;
        }
        EXPECT_FALSE(Enabled(page, 1484)) << "Test without a Navigator";
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressCancel, 0);
    });
}

TEST_F(Options, TestShowsTheNewLookAndCancelPutsEverythingBack) {
    Preview preview;
    preview.settings = &settings;
    PluginSettings before = settings;
    EXPECT_EQ(IDCANCEL, RunSheet(settings, &preview, [](HWND sheet) {
        HWND page = ShowPage(sheet, kWindow);
        EXPECT_TRUE(Enabled(page, 1484));
        SendDlgItemMessageA(page, 1017, CB_SETCURSEL, 4, 0);
        SetDlgItemTextA(page, 1044, "7");
        Click(page, 1041);
        Click(page, 1484);
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressCancel, 0);
    }));
    ASSERT_EQ(1u, preview.seen.size());
    EXPECT_EQ(4u, preview.seen[0].textSize);
    EXPECT_EQ(7u, preview.seen[0].column);
    EXPECT_EQ(0u, preview.seen[0].showDetailInfo);
    EXPECT_EQ("Liberation Serif", preview.seen[0].textFont);
    EXPECT_TRUE(Same(before, settings));
}

TEST_F(Options, ABadColumnsFieldHoldsOkBackAndAStrangeFaceBecomesArial) {
    settings.textFont = "No Such Face";
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kWindow);
        SetDlgItemTextA(page, 1044, "");
        // The refusal is a message box of its own: close it from the next timer.
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
            HWND box = GetForegroundWindow();
            char text[64] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            EXPECT_STREQ("Please enter an integer.", text);
            KillTimer(nullptr, timer);
            SendMessageA(box, WM_COMMAND, IDOK, 0);
        });
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
        EXPECT_TRUE(IsWindow(sheet)) << "OK went through with an empty columns field";
        SetDlgItemTextA(page, 1044, "0");  // no range check: stored as typed
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
    }));
    EXPECT_EQ(0u, settings.column);
    EXPECT_EQ("Arial", settings.textFont);
}

TEST_F(Options, PagesNeverShownTakeNoPart) {
    settings.textFont = "No Such Face";
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        ShowPage(sheet, kInfoSmz);
        SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
    }));
    EXPECT_EQ("No Such Face", settings.textFont);  // the Window page never read it
}

TEST_F(Options, TheFontChosenLeadsTheListNextTime) {
    char profile[MAX_PATH];
    GetWindowsDirectoryA(profile, MAX_PATH);
    std::string file = std::string(profile) + "\\options_tests.INI";
    for (const char* contents : {"", "[Font_MRU]\r\nMRU_Count=9999\r\nMRU_Entry_0=\x01\x02\r\nMRU_MaxNumber=-3\r\n"}) {
        SCOPED_TRACE(contents);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // nothing cached
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(h, contents, static_cast<DWORD>(strlen(contents)), &written, nullptr);
        CloseHandle(h);
        for (const char* face : {"Liberation Mono", "Liberation Sans"}) {
            RunSheet(settings, nullptr, [face](HWND sheet) {
                HWND page = ShowPage(sheet, kWindow);
                HWND combo = GetDlgItem(page, 1039);
                SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
                SendMessageA(sheet, PSM_PRESSBUTTON, kPressOk, 0);
            });
            EXPECT_EQ(face, settings.textFont);
        }
        RunSheet(settings, nullptr, [](HWND sheet) {
            HWND combo = GetDlgItem(ShowPage(sheet, kWindow), 1039);
            char first[LF_FACESIZE] = {}, second[LF_FACESIZE] = {};
            SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
            SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(second));
            EXPECT_STREQ("Liberation Sans", first);
            EXPECT_STREQ("Liberation Mono", second);
            SendMessageA(sheet, PSM_PRESSBUTTON, kPressCancel, 0);
        });
        EXPECT_EQ(2u, GetPrivateProfileIntA("Font_MRU", "MRU_Count", 0, file.c_str()));
    }
    DeleteFileA(file.c_str());
}

TEST_F(Options, ConfigureMakesAWindowForTheSheetSavesOnOkAndIgnoresASecondCall) {
    RegistryScratch registry("Options");
    RemotePlugin plugin(registry.Base().c_str());
    static RemotePlugin* current;
    current = &plugin;
    static bool windowDuringSheet, nestedReturned;
    for (WPARAM press : {kPressCancel, kPressOk}) {
        SCOPED_TRACE(press);
        g_drive = [press](HWND sheet) {
            windowDuringSheet = current->navigator.Exists();
            current->Configure(nullptr);  // while the sheet is up: nothing
            nestedReturned = true;
            Click(ShowPage(sheet, kGeneral), 5009);
            SendMessageA(sheet, PSM_PRESSBUTTON, press, 0);
        };
        SetTimer(nullptr, 0, 50, Drive);
        nestedReturned = false;
        plugin.Configure(nullptr);
        EXPECT_TRUE(windowDuringSheet);
        EXPECT_TRUE(nestedReturned);
        EXPECT_FALSE(plugin.navigator.Exists()) << "the window made for the sheet stays";
        DWORD tray = 99;
        bool saved = registry.GetDword("TrayIcon", &tray);
        EXPECT_EQ(press == kPressOk, saved && tray == 1);
    }
}

}  // namespace
