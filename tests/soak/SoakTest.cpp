// Long use of the real Navigator and plug-in object: page moves; list loads whose pictures come from
// side images, the tag library and the frame grabber (which now and then hangs past its five
// seconds), with the cache compacted as the videos change; shows and hides; options-sheet runs; and
// the plug-in object created, started, given a list and stopped while its pictures are made, then
// deleted. The kernel handles, GDI and USER objects, threads and heap memory the process
// holds are counted before and after: nothing may grow beyond a small constant.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "input/CommandTarget.h"
#include "options/ConfigSheet.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/Holdings.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

namespace {

constexpr size_t kSlack = 4;  // what warm caches and the system may still hand out
constexpr size_t kMemorySlack = 1 << 20;

class Soak : public NavigatorFixture {
protected:
    void SetUp() override {
        for (const char* name : {"ShowThumbnail", "IconView", "ShowDetailInfo"})
            registry.SetDword(HKEY_CURRENT_USER, name, 1);
        Start();
        // The player holds its tag library loaded, so the plug-in's load and free of it for each
        // cover leave it in place. (Else the stand-in's runtime leaks its exception pool, some
        // 75 KB, at every unload.)
        tagLibrary = LoadLibraryA("KsXTag.dll");
        // First a real video: it teaches the plug-in that Wine's media detector cannot grab, as the
        // first one does in a player under Wine (that detector leaks some thirty handles for every
        // file it cannot open). Then videos whose frames the grabber makes, videos with side images
        // and songs with covers, so that every load makes pictures by every road.
        std::string jpeg = EncodedPicture(64, 48, RGB(40, 40, 200), CXIMAGE_FORMAT_JPG);
        std::string png = EncodedPicture(64, 48, RGB(200, 40, 40), CXIMAGE_FORMAT_PNG);
        std::vector<std::string> tokens;
        auto add = [&](const std::string& path) { tokens.insert(tokens.end(), {path, "clip", "Holiday"}); };
        add(media.Write("real.avi", ReadWholeFile(TEST_MEDIA_DIR "\\clip.avi")));
        for (const char* video : kGrabbed) add(media / video);
        for (int i = 0; i < 24; ++i) {
            add(media.Write("clip" + std::to_string(i) + ".avi", ""));
            media.Write("clip" + std::to_string(i) + ".THM", jpeg);
        }
        for (int i = 0; i < 4; ++i) add(media.Write("song" + std::to_string(i) + ".mp3", Mp3WithCover(png)));
        list = Tokens(tokens);
        // Stopped in every cycle while its frame is grabbed, so tried again in the next.
        slowList = Tokens({media.Write("slow.avi", "frame 64 48 20c020 60000"), "slow", "Holiday"});
    }
    void TearDown() override {
        nav.DestroyWindow();  // the worker ends before its folder goes
        FreeLibrary(tagLibrary);
    }
    // What the process holds once the same list has been shown a few times over: the pictures in
    // flight as a list comes count at their fewest.
    Holdings Settled() {
        Holdings least = counter.Now();
        for (int i = 0; i < 4; ++i) {
            SendCopyData(Window(), kCopyTrackList, list);
            WaitPictures();
            PumpMessages(50);
            Holdings now = counter.Now();
            if (now.heapBytes < least.heapBytes) least = now;
        }
        return least;
    }
    bool WaitPictures() { return PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 20000); }
    // Each kind of use, so many times over. Every hundredth load changes the grabbed videos, so
    // that their frames are made again and the cache compacted; at load `hang` the first makes the
    // grabber hang until it is given up. The plug-in object is made, started, sent a list, stopped
    // while the list's frame is grabbed, and deleted `cycles` times.
    void Use(int moves, int loads, int hang, int shows, int sheets, int cycles) {
        nav.BringUp();
        SendTracks(400);
        for (int i = 0; i < moves; ++i) {
            nav.HandleCommand(i % 80 < 40 ? CMD_PAGE_DOWN : CMD_PAGE_UP);
            if (i % 20 == 0) PumpMessages(0);
            if (i % 500 == 0) player.Clear();
        }
        for (int i = 0; i < loads; ++i) {
            for (const char* video : kGrabbed)
                if (i % 100 == 0) media.Write(video, i == hang && video == kGrabbed[0] ? "sleep 60000" : "frame 64 48 20c020");
            SendCopyData(Window(), kCopyTrackList, list);
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
            WhenShown(FindPropertySheet, [](HWND sheet) {  // Test on the Window page, then OK
                Click(ShowPage(sheet, 1), IDC_TEST);
                Press(sheet, PSBTN_OK);
            });
            CConfigSheet(&settings, &nav, nullptr).DoModal();
        }
        for (int i = 0; i < cycles; ++i) {
            player.Clear();
            auto* plugin = new RemotePlugin(registry.Base().c_str());
            plugin->Start(0, 0, 0, 0);
            ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));  // started up
            int grabs = GrabberRunsOf(media / "slow.avi").started;
            SendCopyData(plugin->navigator.Handle(), kCopyTrackList, slowList);
            ASSERT_TRUE(PumpUntil([&] { return GrabberRunsOf(media / "slow.avi").started > grabs; }, 5000));
            plugin->Stop();
            plugin->DeletingDestructor(1);
        }
        PumpMessages(200);
        player.Clear();
    }

    static constexpr const char* kGrabbed[] = {"grab0.avi", "grab1.avi", "grab2.avi", "grab3.avi"};
    HoldingsCounter counter;
    TempFolder media;
    std::string list, slowList;
    HMODULE tagLibrary = nullptr;
};

TEST_F(Soak, NothingGrowsOverLongUse) {
    ASSERT_TRUE(counter.Counting());
    Use(100, 100, 0, 10, 2, 5);  // every cache warm first
    Holdings before = Settled();
    Use(5000, 500, 200, 500, 50, 100);
    // A thread of ours that is still ending holds its stack: counted once it has gone.
    PumpUntil([&] { return counter.Now().threads <= before.threads; }, 5000);
    Holdings after = Settled();
    EXPECT_LE(after.threads, before.threads);
    EXPECT_LE(after.handles, before.handles + kSlack);
    EXPECT_LE(after.gdi, before.gdi + kSlack);
    EXPECT_LE(after.user, before.user + kSlack);
    EXPECT_LT(after.heapBytes, before.heapBytes + kMemorySlack);
}

}  // namespace
