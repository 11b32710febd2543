// Living in the player's process. A std::bad_alloc thrown by a system call deep inside our code
// ends at the boundary it would otherwise cross (an operation of the player's, a window or dialog
// procedure, the worker, the grab thread), and the work fails as it would without an answer or a
// picture. And what the player sizes is bounded: a window that takes nothing has a bounded number
// of results waiting.
#include <windows.h>

#include <cstring>
#include <functional>
#include <new>

#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "res/resource.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VtableCall.h"
#include "tests/support/Windows.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/MediaProbe.h"

namespace {

enum Slot { kDestructor, kGetPluginInfo, kConfigure = 6, kStart = 9, kStop = 10 };
constexpr int kWindowPage = 1;

// Stands in for any import, of this program or (`g_module`) of the module: it takes no arguments it
// is given, returns none, and notes the thread it ran on.
HMODULE g_module;
DWORD g_threwOn;
[[noreturn]] void Throw() {
    g_threwOn = GetCurrentThreadId();
    throw std::bad_alloc();
}
void Throwing(const char* dll, const char* function, const std::function<void()>& call, HMODULE importer = g_module) {
    ImportPatch patch(dll, function, reinterpret_cast<void*>(Throw), importer);
    call();
}

class Pictures : public NavigatorFixture {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { nav.DestroyWindow(); }
    bool WaitPictures() { return PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 60000); }
    uint32_t Serial(int index) const { return nav.List().Entries()[index].serial; }
    TempFolder media;
};

}  // namespace

// Through Rembrix.dll, as the player drives it.
TEST(Boundaries, EachOperationAndProcedureOfTheModuleEndsAnExceptionAndFailsAsWithoutItsCall) {
    RegistryScratch registry("Boundaries");
    FakePlayer player;
    g_module = LoadLibraryA("Rembrix.dll");
    auto create = reinterpret_cast<KsPluginCreateFn>(reinterpret_cast<void*>(GetProcAddress(g_module, "KsPluginCreate")));
    const char* base = registry.Base().c_str();
    Throwing("kernel32.dll", "lstrcpynA", [&] { EXPECT_EQ(nullptr, create(base)); });
    void* plugin = create(base);
    ASSERT_NE(nullptr, plugin);
    PluginInfoRecord record;
    memset(&record, 0xCC, sizeof(record));
    Throwing("user32.dll", "LoadStringW", [&] { CallSlot<void>(plugin, kGetPluginInfo, &record); });
    EXPECT_EQ('\0', record.name[0]);
    Throwing("advapi32.dll", "RegOpenKeyExA", [&] {
        EXPECT_EQ(0, CallSlot<int>(plugin, kStart, 0, 0, 0, 0));
        CallSlot<void>(plugin, kConfigure, static_cast<HWND>(nullptr));  // no sheet: it would wait here
    });
    EXPECT_TRUE(NavigatorWindows().empty());

    ASSERT_EQ(1, CallSlot<int>(plugin, kStart, 0, 0, 0, 0));
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    HWND window = NavigatorWindows()[0];
    for (const char* call : {"SendMessageA", "no such call"}) {  // the list's handler asks the player for its track
        player.Clear();
        Throwing("user32.dll", call, [&] { SendCopyData(window, kCopyTrackList, Tokens({"C:\\a.txt", "a", "b"})); });
        EXPECT_EQ(strcmp(call, "SendMessageA") != 0, !player.Requests().empty()) << call;
    }
    WhenShown(FindPropertySheet, [](HWND sheet) {  // the Test button's preview throws where it looks for the player
        Throwing("user32.dll", "FindWindowA", [&] { Click(ShowPage(sheet, kWindowPage), IDC_TEST); });
        Press(sheet, PSBTN_OK);
    });
    CallSlot<void>(plugin, kConfigure, static_cast<HWND>(nullptr));
    DWORD saved = 0;
    EXPECT_TRUE(registry.GetDword("TextSize", &saved)) << "OK was pressed after the Test button threw";
    Throwing("user32.dll", "DestroyWindow", [&] { EXPECT_EQ(0, CallSlot<int>(plugin, kStop)); });
    EXPECT_TRUE(IsWindow(window));
    CallSlot<void*>(plugin, kDestructor, 1u);
    EXPECT_TRUE(NavigatorWindows().empty());
    FreeLibrary(g_module);
}

// A job that throws is a failed picture and the next one is made; a grab whose thread throws gives
// no frame, leaves no "Converting" behind, and the external grabber is asked next.
TEST_F(Pictures, AJobOrAGrabThatThrowsFailsAsNoPictureAndTheWorkGoesOn) {
    media.Write("shown.JPG", EncodedPicture(64, 48, RGB(0, 0, 255), CXIMAGE_FORMAT_JPG));  // its side image
    std::vector<std::string> tokens = {media.Write("throws.mp3", ""), "throws", " ",  // its cover: the tag library
                                       media.Write("shown.avi", ""), "shown", " "};
    Throwing("kernel32.dll", "LoadLibraryA", [&] {
        SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
        EXPECT_TRUE(WaitPictures());
    }, nullptr);
    EXPECT_EQ(0u, Serial(0));  // no picture, as for a file that has none
    EXPECT_GE(nav.Thumbnails().FindThumbnail(Serial(1)), 0);

    g_threwOn = 0;
    CxImage frame;
    std::string video = media.Write("garbage.avi", "no video");
    Throwing("ole32.dll", "CoCreateInstance",
             [&] { EXPECT_EQ(GrabOutcome::Failed, GrabFrame(video.c_str(), kDefaultGrabTime, frame)); }, nullptr);
    EXPECT_TRUE(g_threwOn && g_threwOn != GetCurrentThreadId()) << "on the grab's own thread";
    DWORD converting = 0, size = sizeof(converting);
    EXPECT_NE(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, kConvertingKeys[0], kConvertingValue, RRF_RT_DWORD,
                                          nullptr, &converting, &size));
}

// A window that takes nothing has 256 results waiting and no more; once it takes them, the rest
// come. (How many pictures a long list holds is the thumbs tests' concern.)
TEST_F(Pictures, AStalledWindowHasABoundedNumberOfResultsWaiting) {
    std::vector<std::string> tokens;
    for (int i = 0; i < 300; ++i) tokens.insert(tokens.end(), {"C:\\nowhere\\" + std::to_string(i) + ".avi", " ", " "});
    SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
    DWORD start = GetTickCount();  // not pumping: nothing is taken
    while (nav.Thumbnails().InFlight() < 256 && GetTickCount() - start < 20000) Sleep(1);
    EXPECT_EQ(256u, nav.Thumbnails().InFlight());
    EXPECT_EQ(300u - 256, nav.Thumbnails().Pending());
    ASSERT_TRUE(WaitPictures());
}
