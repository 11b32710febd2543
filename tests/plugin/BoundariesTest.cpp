// Living in the player's process. A std::bad_alloc thrown by a system call deep inside our code
// ends at the boundary it would otherwise cross (an operation of the player's, a window or dialog
// procedure), and the work fails as it would without an answer. And what the player sizes is
// bounded: a window that takes nothing has a bounded number of results waiting.
#include <windows.h>

#include <cstring>
#include <functional>
#include <new>

#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "res/resource.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/VtableCall.h"
#include "tests/support/Windows.h"

namespace {

enum Slot { kDestructor, kGetPluginInfo, kConfigure = 6, kStart = 9, kStop = 10 };

// Stands in for any import of the module (`g_module`): it takes no arguments it is given and returns none.
HMODULE g_module;
[[noreturn]] void Throw() { throw std::bad_alloc(); }
void Throwing(const char* dll, const char* function, const std::function<void()>& call) {
    ImportPatch patch(dll, function, reinterpret_cast<void*>(Throw), g_module);
    call();
}

using Pictures = NavigatorFixture;

}  // namespace

// Through Rembrix.dll, as the player drives it.
TEST(Boundaries, EachOperationAndProcedureOfTheModuleEndsAnExceptionAndFailsAsWithoutItsCall) {
    RegistryScratch registry("Boundaries");
    FakePlayer player;
    g_module = LoadLibraryA("Rembrix.dll");
    auto create =
        reinterpret_cast<KsPluginCreateFn>(reinterpret_cast<void*>(GetProcAddress(g_module, "KsPluginCreate")));
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
    WhenShown(FindPropertySheet, [](HWND sheet) {  // the Window page's Test button throws where it looks for the player
        Throwing("user32.dll", "FindWindowA", [&] { Click(ShowPage(sheet, 1), IDC_TEST); });
        Press(sheet, PSBTN_OK);
    });
    CallSlot<void>(plugin, kConfigure, static_cast<HWND>(nullptr));
    EXPECT_EQ(DWORD(REG_DWORD), registry.Stored("TextSize").first) << "OK was pressed after the Test button threw";
    Throwing("user32.dll", "DestroyWindow", [&] { EXPECT_EQ(0, CallSlot<int>(plugin, kStop)); });
    EXPECT_TRUE(IsWindow(window));
    CallSlot<void*>(plugin, kDestructor, 1u);  // stops and frees the object
    EXPECT_EQ(Request(window, 991), player.Requests().back());
    EXPECT_TRUE(NavigatorWindows().empty());
    FreeLibrary(g_module);
}

// A window that takes nothing has 256 results waiting and no more; once it takes them, the rest
// come. (How many pictures a long list holds is the thumbs tests' concern.)
TEST_F(Pictures, AStalledWindowHasABoundedNumberOfResultsWaiting) {
    Start();
    std::vector<std::string> tokens;
    for (int i = 0; i < 300; ++i) tokens.insert(tokens.end(), {"C:\\nowhere\\" + std::to_string(i) + ".avi", " ", " "});
    SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
    DWORD start = GetTickCount();  // not pumping: nothing is taken
    while (nav.Thumbnails().InFlight() < 256 && GetTickCount() - start < 20000) Sleep(1);
    EXPECT_EQ(256u, nav.Thumbnails().InFlight());
    EXPECT_EQ(300u - 256, nav.Thumbnails().Pending());
    ASSERT_TRUE(PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 60000));
}
