// The module as the player sees it: loaded by path, created through its factory, and driven
// through the table of operations by slot number.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "res/resource.h"
#include "tests/support/FakePlayer.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/VtableCall.h"
#include "tests/support/Windows.h"

namespace {

enum Slot {
    kDestructor, kGetPluginInfo, kHostCall3A, kHostCall3B, kHostCall2A, kHostCall2B, kConfigure,
    kHostNotify1, kHostCall2C, kStart, kStop, kHostCall1, kHostCall3C
};

// A loop not told to end is ended here, a failure.
void CALLBACK EndForgottenLoop(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "a loop of the deleted plug-in is still running";
    EndMenu();
    if (HWND active = GetActiveWindow()) PostMessageA(active, WM_COMMAND, IDCANCEL, 0);
}

class PluginModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Load()); }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    void Load() {
        module = LoadLibraryA("Rembrix.dll");
        ASSERT_NE(nullptr, module);
        create = reinterpret_cast<KsPluginCreateFn>(reinterpret_cast<void*>(GetProcAddress(module, "KsPluginCreate")));
        ASSERT_NE(nullptr, create);
    }

    void* Create() { return create(registry.Base().c_str()); }
    int Start(void* plugin) { return CallSlot<int>(plugin, kStart, 0, 0, 0, 0); }
    int Stop(void* plugin) { return CallSlot<int>(plugin, kStop); }
    void Delete(void* plugin) { CallSlot<void*>(plugin, kDestructor, 1u); }
    size_t WindowCount() const { return NavigatorWindows().size(); }

    RegistryScratch registry{"PluginModule"};
    HMODULE module = nullptr;
    KsPluginCreateFn create = nullptr;
};

}  // namespace

TEST_F(PluginModule, TheRecordHoldsTheListedFieldsAndZeroElsewhere) {
    void* plugin = Create();
    unsigned char block[1732 + 16], want[1732 + 16] = {};
    memset(block, 0xCC, sizeof(block));
    CallSlot<void>(plugin, kGetPluginInfo, reinterpret_cast<PluginInfoRecord*>(block));
    Delete(plugin);

    memset(want + 1732, 0xCC, 16);  // nothing written past the block
    auto put = [&](size_t offset, uint32_t value) { memcpy(want + offset, &value, 4); };
    put(1188, 256);
    put(1192, 50);
    for (size_t offset = 1196; offset <= 1208; offset += 4) put(offset, 32768);
    put(1212, 1);
    strcpy(reinterpret_cast<char*>(want + 260), "Remote Controller Plugin for Quillar");
    strcpy(reinterpret_cast<char*>(want + 340), "Rembrix Remote Team");  // the maker's name, ours to choose
    strcpy(reinterpret_cast<char*>(want + 420), "Description");
    size_t first = std::mismatch(want, want + sizeof(want), block).first - want;
    EXPECT_EQ(sizeof(want), first) << "first difference at offset " << first;
}

TEST_F(PluginModule, StartStopTwoIndependentObjectsAndTheOperationsThatOnlyAnswer) {
    FakePlayer player;
    void* first = Create();
    void* second = Create();
    ASSERT_NE(nullptr, second);
    // Whatever they are given, these only answer: no window, nothing to the player.
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall3A, 1, 2, 3)));
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall3B, 1, 2, 3)));
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall2A, 1, 2)));
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall2B, 1, 2)));
    CallSlot<void>(second, kHostNotify1, 7);
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall2C, 1, 2)));
    EXPECT_EQ(1, (CallSlot<int>(second, kHostCall1, 5)));
    EXPECT_EQ(0, (CallSlot<int>(second, kHostCall3C, 1, 2, 3)));
    EXPECT_EQ(1, Stop(first));  // no window: nothing to do
    EXPECT_EQ(1, (CallSlot<int>(first, kStart, 9, 0, 0, 0)));
    ASSERT_EQ(1u, WindowCount());
    HWND window = NavigatorWindows()[0];
    EXPECT_FALSE(IsWindowVisible(window));  // created hidden
    EXPECT_EQ(1, Stop(first));
    EXPECT_EQ(Request(window, 991), player.Requests().back());
    EXPECT_EQ(0u, WindowCount());

    Start(first);  // usable again after a stop
    Start(first);  // the earlier window goes first
    EXPECT_EQ(1u, WindowCount());
    Start(second);  // nothing checks for another instance
    EXPECT_EQ(2u, WindowCount());
    EXPECT_EQ(first, CallSlot<void*>(first, kDestructor, 1u));  // stops and frees the object
    EXPECT_EQ(1u, WindowCount());
    Delete(second);
    EXPECT_EQ(0u, WindowCount());
}

// The player may stop, delete and unload the plug-in inside a loop of ours: the options sheet of
// Configure, the message box of a page it refuses, the tray menu and the menu's sheet. The loop is
// told to end, the player's calls return, nothing of ours touches the freed object (the heaps stay
// sound), and the module goes once our frames have returned.
TEST_F(PluginModule, DeletedAndUnloadedInsideItsOwnLoops) {
    FakePlayer player;
    const char* const loops[] = {"Configure's sheet", "its refusal's message box", "the tray menu", "its sheet"};
    for (int loop = 0; loop < 4; ++loop) {
        SCOPED_TRACE(loops[loop]);
        if (!module) Load();
        void* plugin = Create();
        UINT_PTR watchdog = 0;
        auto deleteAndUnload = [&](HWND) {
            EXPECT_EQ(1, Stop(plugin));
            EXPECT_EQ(plugin, CallSlot<void*>(plugin, kDestructor, 1u));
            EXPECT_TRUE(FreeLibrary(module));
            module = nullptr;
            watchdog = SetTimer(nullptr, 0, 3000, EndForgottenLoop);
        };
        if (loop == 1)
            WhenShown(FindPropertySheet, [&](HWND sheet) {  // an empty columns field: OK brings up a box
                PropSheet_SetCurSel(sheet, nullptr, 1);
                SetDlgItemTextA(PropSheet_GetCurrentPageHwnd(sheet), IDC_COLUMNS, "");
                WhenShown([sheet] { return GetActiveWindow() != sheet ? GetActiveWindow() : nullptr; },
                          deleteAndUnload);
                PropSheet_PressButton(sheet, PSBTN_OK);
            });
        else
            WhenShown(loop == 2 ? FindOpenMenu : FindPropertySheet, deleteAndUnload);
        if (loop < 2) CallSlot<void>(plugin, kConfigure, player.Handle());
        if (loop >= 2 && Start(plugin))
            SendMessageA(NavigatorWindows().at(0), loop == 2 ? WM_APP + 0x81 : WM_COMMAND,
                         loop == 2 ? 100 : ID_QUICK_CONFIGURATIONS, loop == 2 ? WM_RBUTTONUP : 0);
        EXPECT_NE(0u, watchdog) << "the loop ended before the player's code ran in it";
        KillTimer(nullptr, watchdog);
        EXPECT_TRUE(HeapsCheckedAndSound());
        EXPECT_EQ(0u, WindowCount());
        EXPECT_EQ(nullptr, FindPropertySheet());
        EXPECT_TRUE(PumpUntil([] { return !GetModuleHandleA("Rembrix.dll"); }, 3000)) << "the module stays loaded";
    }
}
