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

enum Slot { kDestructor, kGetPluginInfo, kConfigure = 6, kStart = 9, kStop = 10 };

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
    CallSlot<void*>(plugin, kDestructor, 1u);

    memset(want + 1732, 0xCC, 16);  // nothing written past the block
    const uint32_t values[] = {256, 50, 32768, 32768, 32768, 32768, 1};
    memcpy(want + 1188, values, sizeof(values));
    strcpy(reinterpret_cast<char*>(want + 260), "Remote Controller Plugin for Quillar");
    strcpy(reinterpret_cast<char*>(want + 340), "Rembrix Remote Team");  // the maker's name, ours to choose
    strcpy(reinterpret_cast<char*>(want + 420), "Description");
    size_t first = std::mismatch(want, want + sizeof(want), block).first - want;
    EXPECT_EQ(sizeof(want), first) << "first difference at offset " << first;
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
            EXPECT_EQ(1, CallSlot<int>(plugin, kStop));
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
        if (loop >= 2 && CallSlot<int>(plugin, kStart, 0, 0, 0, 0))
            SendMessageA(NavigatorWindows().at(0), loop == 2 ? WM_APP + 0x81 : WM_COMMAND,
                         loop == 2 ? 100 : ID_QUICK_CONFIGURATIONS, loop == 2 ? WM_RBUTTONUP : 0);
        EXPECT_NE(0u, watchdog) << "the loop ended before the player's code ran in it";
        KillTimer(nullptr, watchdog);
        EXPECT_TRUE(HeapsCheckedAndSound());
        EXPECT_TRUE(NavigatorWindows().empty());
        EXPECT_EQ(nullptr, FindPropertySheet());
        EXPECT_TRUE(PumpUntil([] { return !GetModuleHandleA("Rembrix.dll"); }, 3000)) << "the module stays loaded";
    }
}
