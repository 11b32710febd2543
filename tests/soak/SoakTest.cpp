// Long use of the real Navigator: page moves, list loads with thumbnails, shows and hides, and
// options-sheet runs, counting the kernel handles, GDI and USER objects the process holds before
// and after. Nothing may grow beyond a small constant. A second test proves the counts see a leak.
#include <windows.h>
#include <commctrl.h>

#include <tuple>

#include "input/Commands.h"
#include "options/ConfigSheet.h"
#include "tests/navigator/NavigatorFixture.h"
#include "tests/support/Holdings.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"
#include "ximage/CxImage.h"

namespace {

constexpr size_t kSlack = 4;  // what warm caches and the system may still hand out

// Inside the sheet's loop: Test on the Window page, then OK.
void PressOk(HWND sheet) {
    SendMessageA(sheet, PSM_SETCURSEL, 1, 0);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    SendMessageA(GetDlgItem(page, 1484), BM_CLICK, 0, 0);
    SendMessageA(sheet, PSM_PRESSBUTTON, 3, 0);  // PSBTN_OK
}

class Soak : public NavigatorFixture {
protected:
    void SetUp() override {
        for (const char* name : {"ShowThumbnail", "IconView", "ShowDetailInfo"})
            registry.SetDword(HKEY_CURRENT_USER, name, 1);
        Start();
        // Videos with side images, so that every load makes pictures.
        CxImage side;
        side.Create(64, 48, 24);
        uint8_t* bytes = nullptr;
        int32_t size = 0;
        side.Encode(bytes, size, CXIMAGE_FORMAT_JPG);
        std::string jpeg(reinterpret_cast<char*>(bytes), static_cast<size_t>(size));
        CxImage::FreeMemory(bytes);
        for (int i = 0; i < 24; ++i) {
            std::string name = "clip" + std::to_string(i);
            clips.push_back(media.Write(name + ".avi", ""));
            media.Write(name + ".THM", jpeg);
        }
    }
    bool WaitPictures() { return PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 20000); }
    // Each kind of use, so many times over.
    void Use(int moves, int loads, int shows, int sheets) {
        nav.BringUp();
        SendTracks(400);
        for (int i = 0; i < moves; ++i) {
            nav.HandleCommand(i % 80 < 40 ? CMD_PAGE_DOWN : CMD_PAGE_UP);
            if (i % 20 == 0) PumpMessages(0);
        }
        std::vector<std::string> tokens;
        for (const std::string& clip : clips) tokens.insert(tokens.end(), {clip, "clip", "Holiday"});
        for (int i = 0; i < loads; ++i) {
            SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
            PumpMessages(0);
            if (i % 100 == 99) {
                ASSERT_TRUE(WaitPictures());
            }
        }
        ASSERT_TRUE(WaitPictures());
        for (int i = 0; i < shows; ++i) {
            nav.HideNavigator();
            nav.BringUp();
        }
        for (int i = 0; i < sheets; ++i) {
            WhenShown(FindPropertySheet, PressOk);
            CConfigSheet(&settings, &nav, nullptr).DoModal();
        }
        PumpMessages(200);
    }

    HoldingsCounter counter;
    TempFolder media;
    std::vector<std::string> clips;
};

TEST_F(Soak, NothingGrowsOverLongUse) {
    ASSERT_TRUE(counter.Counting());
    Use(100, 10, 10, 2);  // warm every cache first
    Holdings before = counter.Now();
    Use(10000, 1000, 1000, 100);
    Holdings after = counter.Now();
    EXPECT_LE(after.handles, before.handles + kSlack);
    EXPECT_LE(after.gdi, before.gdi + kSlack);
    EXPECT_LE(after.user, before.user + kSlack);
}

TEST_F(Soak, TheCountsSeeALeak) {
    ASSERT_TRUE(counter.Counting());
    Holdings before = counter.Now();
    // Made through the same imports the product uses, and never freed.
    LOGFONTA face = {};
    face.lfHeight = 20;
    HFONT font = CreateFontIndirectA(&face);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(130));
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Holdings after = counter.Now();
    EXPECT_GE(after.gdi, before.gdi + 2);
    EXPECT_GE(after.user, before.user + 1);
    EXPECT_GE(after.handles, before.handles + 1);
    DeleteObject(font);
    DeleteObject(bitmap);
    DestroyMenu(menu);
    CloseHandle(event);
    Holdings freed = counter.Now();
    EXPECT_EQ(std::make_tuple(before.handles, before.gdi, before.user),
              std::make_tuple(freed.handles, freed.gdi, freed.user));
}

}  // namespace
