// Long use of the real Navigator and plug-in object: page moves; list loads whose pictures come from
// side images, the tag library and the frame grabber (which now and then hangs past its five
// seconds), with the cache compacted as the videos change; and the plug-in object created, started,
// given a list and stopped while its pictures are made, then deleted. The kernel handles and GDI
// objects the process holds are counted before and after: nothing may grow beyond a small constant.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "input/CommandTarget.h"
#include "plugin/RemotePlugin.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

namespace {

constexpr size_t kSlack = 4;  // what warm caches and the system may still hand out

// The GDI objects made and not yet freed through this program's imports (Wine's GetGuiResources
// says 0): their create and delete functions are replaced by counting ones.
std::set<void*> g_gdi;
std::mutex g_lock;  // the thumbnail worker makes bitmaps too

// The counting stand-in for one import, calling the real function. With `Arg` < 0 the handle
// returned is made; otherwise the handle in argument `Arg` goes.
template <int Line, typename F> struct Counted;
template <int Line, typename R, typename... A> struct Counted<Line, R (*)(A...)> {
    static inline void* real = nullptr;
    template <int Arg>
    static R WINAPI Count(A... args) {
        std::lock_guard<std::mutex> hold(g_lock);
        if constexpr (Arg >= 0) g_gdi.erase(reinterpret_cast<void*>(std::get<Arg>(std::tie(args...))));
        R result = reinterpret_cast<R(WINAPI*)(A...)>(real)(args...);
        if constexpr (Arg < 0) g_gdi.insert(reinterpret_cast<void*>(result));
        return result;
    }
};
constexpr int kResult = -1;
// `Line` keeps the real functions of stand-ins apart.
template <int Line, typename F, int Arg>
std::unique_ptr<ImportPatch> Counting(const char* module, const char* function) {
    Counted<Line, F>::real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), function));
    F count = &Counted<Line, F>::template Count<Arg>;
    return std::make_unique<ImportPatch>(module, function, reinterpret_cast<void*>(count));
}
#define COUNTING(module, name, arg) Counting<__LINE__, decltype(&::name), arg>(module, #name)

// The process's entries in the system's handle table, as Wine keeps it too.
size_t KernelHandles() {
    static const auto query = reinterpret_cast<NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    static std::vector<BYTE> buffer(1 << 22);  // the whole system's table
    NTSTATUS status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr);
    EXPECT_EQ(0, status) << "the system's handle table did not fit";
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    size_t mine = 0;
    for (ULONG i = 0; status == 0 && i < table->Count; ++i)
        mine += LOWORD(table->Handle[i].OwnerPid) == LOWORD(GetCurrentProcessId());
    return mine;
}

// What the process holds: kernel handles and GDI objects.
using Holdings = std::pair<size_t, size_t>;

class Soak : public NavigatorFixture {
protected:
    void SetUp() override {
        registry.SetDword(HKEY_CURRENT_USER, "ShowDetailInfo", 1);  // pictures and the icon view are on already
        Start();
        // The player holds its tag library loaded, so the plug-in's load and free of it for each
        // cover leave it in place. (Else the stand-in's runtime leaks its exception pool, some
        // 75 KB, at every unload.)
        tagLibrary = LoadLibraryA("KsXTag.dll");
        // First a real video: it teaches the plug-in that Wine's media detector cannot grab, as the
        // first one does in a player under Wine (that detector leaks some thirty handles for every
        // file it cannot open). Then videos whose frames the grabber makes, videos with side images
        // and songs with covers, so that every load makes pictures by every road.
        std::string png = EncodedPicture(64, 48, RGB(200, 40, 40), CXIMAGE_FORMAT_PNG);
        std::string jpeg = EncodedPicture(64, 48, RGB(40, 40, 200), CXIMAGE_FORMAT_JPG);
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
        Holdings least = {SIZE_MAX, SIZE_MAX};
        for (int i = 0; i < 4; ++i) {
            SendCopyData(Window(), kCopyTrackList, list);
            WaitPictures();
            PumpMessages(50);
            size_t handles = KernelHandles();
            std::lock_guard<std::mutex> hold(g_lock);
            least = {std::min(least.first, handles), std::min(least.second, g_gdi.size())};
        }
        return least;
    }
    bool WaitPictures() { return PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 20000); }
    // Each kind of use, so many times over. Every hundredth load changes the grabbed videos, so
    // that their frames are made again and the cache compacted; at load `hang` the first makes the
    // grabber hang until it is given up. The plug-in object is made, started, sent a list, stopped
    // while the list's frame is grabbed, and deleted `cycles` times.
    void Use(int moves, int loads, int hang, int cycles) {
        nav.BringUp();
        SendTracks(400);
        for (int i = 0; i < moves; ++i) {
            nav.HandleCommand(i % 80 < 40 ? CMD_PAGE_DOWN : CMD_PAGE_UP);
            if (i % 20 == 0) PumpMessages(0);
        }
        for (int i = 0; i < loads; ++i) {
            for (const char* clip : kGrabbed)  // the first hangs at load `hang`
                if (i % 100 == 0)
                    media.Write(clip, i == hang && clip == *kGrabbed ? "sleep 60000" : "frame 64 48 20c020");
            SendCopyData(Window(), kCopyTrackList, list);
            PumpMessages(0);
            ASSERT_TRUE(i % 100 != 99 || WaitPictures());  // every hundredth load is waited for
        }
        ASSERT_TRUE(WaitPictures());
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
    }

    static constexpr const char* kGrabbed[] = {"grab0.avi", "grab1.avi", "grab2.avi", "grab3.avi"};
    const std::unique_ptr<ImportPatch> counting[11] = {
        COUNTING("gdi32.dll", CreateBitmap, kResult),
        COUNTING("gdi32.dll", CreateDIBitmap, kResult),
        COUNTING("gdi32.dll", CreateFontIndirectA, kResult),
        COUNTING("gdi32.dll", CreateSolidBrush, kResult),
        COUNTING("gdi32.dll", CreateCompatibleBitmap, kResult),
        COUNTING("gdi32.dll", CreateCompatibleDC, kResult),
        COUNTING("gdi32.dll", CreateDIBSection, kResult),
        COUNTING("gdi32.dll", DeleteObject, 0),
        COUNTING("gdi32.dll", DeleteDC, 0),
        COUNTING("user32.dll", GetDC, kResult),
        COUNTING("user32.dll", ReleaseDC, 1),
    };
    TempFolder media;
    std::string list, slowList;
    HMODULE tagLibrary = nullptr;
};

TEST_F(Soak, NothingGrowsOverLongUse) {
    for (const auto& patch : counting) ASSERT_TRUE(patch->Applied());
    ASSERT_GT(KernelHandles(), 0u);
    Use(100, 100, 0, 5);  // every cache warm first
    Holdings before = Settled();
    Use(5000, 500, 200, 100);
    // A thread of ours that is still ending holds its handles: counted once they have gone.
    PumpUntil([&] { return KernelHandles() <= before.first; }, 5000);
    Holdings after = Settled();
    EXPECT_LE(after.first, before.first + kSlack) << "kernel handles";
    EXPECT_LE(after.second, before.second + kSlack) << "GDI objects";
}

}  // namespace
