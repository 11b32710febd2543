// The options sheet driven by message, as a user would, from a timer inside its modal loop: what
// ends up in the settings record, the registry and the profile file.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>
#include <gtest/gtest.h>

#include "options/ConfigSheet.h"
#include "plugin/RembrixApp.h"
#include "tests/support/Windows.h"

namespace {

enum Page { kGeneral, kWindow, kInfoMce, kInfoSmz };

INT_PTR RunSheet(PluginSettings& settings, OptionsPreview* preview, std::function<void(HWND)> drive) {
    WhenShown(FindPropertySheet, std::move(drive));
    return CConfigSheet(&settings, preview, nullptr).DoModal();
}
HWND ShowPage(HWND sheet, Page page) {
    SendMessageA(sheet, PSM_SETCURSEL, page, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
void Press(HWND sheet, WPARAM button) { SendMessageA(sheet, PSM_PRESSBUTTON, button, 0); }
void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
std::string Item(HWND box, WPARAM i) { char s[64] = {}; SendMessageA(box, CB_GETLBTEXT, i, LPARAM(s)); return s; }

struct Preview : OptionsPreview {
    bool HasPreviewWindow() const override { return true; }
    void ShowPreview() override { seen.push_back(*settings); }
    PluginSettings* settings = nullptr;
    std::vector<PluginSettings> seen;
};

class Options : public ::testing::Test {
protected:
    void SetUp() override {  // settings as a user's might stand
        theApp.InitInstance(GetModuleHandleA(nullptr));
        std::tie(settings.trayIcon, settings.activate, settings.hotKey, settings.monitor, settings.column,
                 settings.showDetailInfo, settings.iconView, settings.showThumbnail, settings.textSize) =
            std::make_tuple(0, 1, 0x00060070, 0x0BAD0000, 3, 1, 1, 1, 2);  // Control+Alt+F1, a monitor long gone
        settings.textFont = "Liberation Serif";
    }
    PluginSettings settings = {};
};

TEST_F(Options, TheGeneralPageKeepsWhatItIsNotToldAndWritesWhatItIs) {
    ASSERT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kGeneral);
        EXPECT_EQ(MAKEWORD(0x70, HOTKEYF_CONTROL | HOTKEYF_ALT), SendDlgItemMessageA(page, 5011, HKM_GETHOTKEY, 0, 0));
        EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), SendDlgItemMessageA(page, 5012, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(CB_ERR, SendDlgItemMessageA(page, 5012, CB_GETCURSEL, 0, 0));  // the monitor that is gone
        EXPECT_EQ("DISPLAY1", Item(GetDlgItem(page, 5012), 0));
        Click(page, 5009);
        Click(page, 5010);
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(std::make_tuple(0x00060070ul, 0x0BAD0000ul, 1ul, 0ul),
              std::make_tuple(settings.hotKey, settings.monitor, settings.trayIcon, settings.activate));
    ASSERT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kGeneral);
        SendDlgItemMessageA(page, 5011, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
        SendDlgItemMessageA(page, 5012, CB_SETCURSEL, 0, 0);
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(0x00010074u, settings.hotKey);
    EXPECT_EQ(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), settings.Monitor());  // the one monitor
}

// The Window page: the thumbnail checks grey what depends on them; Test shows the new look and
// Cancel puts everything back; a bad columns field holds OK back; a strange face becomes Arial.
TEST_F(Options, TheWindowPage) {
    Preview preview;
    preview.settings = &settings;
    EXPECT_EQ(IDCANCEL, RunSheet(settings, &preview, [](HWND sheet) {
        HWND page = ShowPage(sheet, kWindow);
        // After each click: whether large thumbnails and tags (1040, 1041), and columns (1044, 1045) are enabled.
        const struct { int click; bool thumbnails, grid; } steps[] = {{0, true, true}, {1038, false, false},
            {1040, false, false}, {1038, true, false}, {1040, true, true}};  // 1040 off while greyed, then on
        for (const auto& s : steps) {
            if (s.click) Click(page, s.click);
            for (int id : {1040, 1041, 1044, 1045})
                EXPECT_EQ(id < 1044 ? s.thumbnails : s.grid, Enabled(page, id)) << "after " << s.click << ": " << id;
        }
        SendDlgItemMessageA(page, 1017, CB_SETCURSEL, 4, 0);
        SetDlgItemTextA(page, 1044, "7");
        Click(page, 1041);
        Click(page, 1484);  // Test, available with a Navigator
        Press(sheet, PSBTN_CANCEL);
    }));
    auto look = [](auto& s) { return std::make_tuple(s.textSize, s.column, s.showDetailInfo, s.textFont); };
    EXPECT_EQ(std::make_tuple(4ul, 7ul, 0ul, std::string("Liberation Serif")), look(preview.seen.at(0)));
    EXPECT_EQ(std::make_tuple(2ul, 3ul, 1ul, std::string("Liberation Serif")), look(settings));  // as before
    settings.textFont = "No Such Face";
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) {
        HWND page = ShowPage(sheet, kWindow);
        EXPECT_FALSE(Enabled(page, 1484)) << "Test without a Navigator";
        SetDlgItemTextA(page, 1044, "");
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            SendMessageA(GetForegroundWindow(), WM_COMMAND, IDOK, 0);  // closes the refusal's message box
        });
        Press(sheet, PSBTN_OK);
        EXPECT_TRUE(IsWindow(sheet)) << "OK went through with an empty columns field";
        SetDlgItemTextA(page, 1044, "0");  // no range check: stored as typed
        Press(sheet, PSBTN_OK);
    }));
    EXPECT_EQ(std::make_tuple(0ul, std::string("Arial")), std::make_tuple(settings.column, settings.textFont));
    settings.textFont = "No Such Face";  // a page never shown takes no part: nothing reads the face
    EXPECT_EQ(IDOK, RunSheet(settings, nullptr, [](HWND sheet) { ShowPage(sheet, kInfoSmz); Press(sheet, PSBTN_OK); }));
    EXPECT_EQ("No Such Face", settings.textFont);
}

TEST_F(Options, TheFontChosenLeadsTheListNextTime) {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    const std::string file = std::string(folder) + "\\options_tests.INI";
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());  // nothing cached
    std::ofstream(file, std::ios::binary) << "[Font_MRU]\r\nMRU_Count=9999\r\nMRU_Entry_0=\x01\x02\r\n"  // nonsense
                                             "MRU_MaxNumber=-3\r\n";
    // Each sheet shows the faces chosen so far, the latest first, and chooses the next.
    const char* const faces[] = {"Liberation Mono", "Liberation Sans", nullptr};
    for (int i = 0; i < 3; ++i) {
        RunSheet(settings, nullptr, [&](HWND sheet) {
            HWND combo = GetDlgItem(ShowPage(sheet, kWindow), 1039);
            for (int j = 0; j < i; ++j) EXPECT_EQ(faces[i - 1 - j], Item(combo, j)) << "item " << j;
            if (faces[i]) SendMessageA(combo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(faces[i]));
            Press(sheet, faces[i] ? PSBTN_OK : PSBTN_CANCEL);
        });
        if (faces[i]) {
            EXPECT_EQ(faces[i], settings.textFont);
        }
    }
    EXPECT_EQ(2u, GetPrivateProfileIntA("Font_MRU", "MRU_Count", 0, file.c_str()));
    DeleteFileA(file.c_str());
}

}  // namespace
