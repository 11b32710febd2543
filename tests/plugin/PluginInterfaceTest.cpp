// The module as the player sees it: loaded by path, created through its factory, and driven
// through the table of operations by slot number.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "tests/support/FakePlayer.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/VtableCall.h"
#include "tests/support/Windows.h"

namespace {

enum Slot {
    kDestructor,
    kGetPluginInfo,
    kHostCall3A,
    kHostCall3B,
    kHostCall2A,
    kHostCall2B,
    kConfigure,
    kHostNotify1,
    kHostCall2C,
    kStart,
    kStop,
    kHostCall1,
    kHostCall3C
};

class PluginModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Rembrix.dll");
        ASSERT_NE(nullptr, module);
        create = reinterpret_cast<KsPluginCreateFn>(reinterpret_cast<void*>(GetProcAddress(module, "KsPluginCreate")));
        ASSERT_NE(nullptr, create);
    }
    void TearDown() override { FreeLibrary(module); }

    void* Create() { return create(registry.Base().c_str()); }
    void Delete(void* plugin) { CallSlot<void*>(plugin, kDestructor, 1u); }

    RegistryScratch registry{"PluginModule"};
    HMODULE module = nullptr;
    KsPluginCreateFn create = nullptr;
};

}  // namespace

TEST_F(PluginModule, EveryOperationSitsInItsSlot) {
    void* plugin = Create();
    ASSERT_NE(nullptr, plugin);

    PluginInfoRecord record;
    CallSlot<void>(plugin, kGetPluginInfo, &record);
    EXPECT_STREQ("Remote Controller Plugin for Quillar", record.name);

    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall3A, 1, 2, 3)));
    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall3B, 1, 2, 3)));
    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall2A, 1, 2)));
    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall2B, 1, 2)));
    CallSlot<void>(plugin, kHostNotify1, 7);
    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall2C, 1, 2)));
    EXPECT_EQ(1, (CallSlot<int>(plugin, kHostCall1, 5)));
    EXPECT_EQ(0, (CallSlot<int>(plugin, kHostCall3C, 1, 2, 3)));

    EXPECT_TRUE(NavigatorWindows().empty());
    EXPECT_EQ(1, (CallSlot<int>(plugin, kStart, 9, 0, 0, 0)));
    ASSERT_EQ(1u, NavigatorWindows().size());
    HWND window = NavigatorWindows()[0];
    EXPECT_FALSE(IsWindowVisible(window));  // created hidden
    EXPECT_EQ(1, CallSlot<int>(plugin, kStop));
    EXPECT_TRUE(NavigatorWindows().empty());

    // The deleting destructor with flag 1 stops and frees the object.
    CallSlot<int>(plugin, kStart, 0, 0, 0, 0);
    EXPECT_EQ(plugin, CallSlot<void*>(plugin, kDestructor, 1u));
    EXPECT_TRUE(NavigatorWindows().empty());
}

TEST_F(PluginModule, RecordHasOnlyTheListedFields) {
    void* plugin = Create();
    unsigned char block[sizeof(PluginInfoRecord) + 16];
    memset(block, 0xCC, sizeof(block));
    CallSlot<void>(plugin, kGetPluginInfo, reinterpret_cast<PluginInfoRecord*>(block));
    Delete(plugin);

    auto u32 = [&](size_t offset) {
        uint32_t v;
        memcpy(&v, block + offset, 4);
        return v;
    };
    EXPECT_EQ(256u, u32(1188));
    EXPECT_EQ(50u, u32(1192));
    for (size_t offset = 1196; offset <= 1208; offset += 4) EXPECT_EQ(32768u, u32(offset));
    EXPECT_EQ(1u, u32(1212));
    EXPECT_EQ(0u, u32(1216));
    EXPECT_STREQ("Remote Controller Plugin for Quillar", reinterpret_cast<char*>(block + 260));
    EXPECT_STREQ("Rembrix Remote Team", reinterpret_cast<char*>(block + 340));
    EXPECT_STREQ("Description", reinterpret_cast<char*>(block + 420));

    // Zero everywhere else: before, between and after the fields.
    auto zeroRange = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            if (block[i] != 0) return false;
        return true;
    };
    EXPECT_TRUE(zeroRange(0, 260));
    EXPECT_TRUE(zeroRange(260 + strlen("Remote Controller Plugin for Quillar"), 340));
    EXPECT_TRUE(zeroRange(340 + strlen("Rembrix Remote Team"), 420));
    EXPECT_TRUE(zeroRange(420 + strlen("Description"), 1188));
    EXPECT_TRUE(zeroRange(1220, sizeof(PluginInfoRecord)));
    EXPECT_EQ(0xCC, block[sizeof(PluginInfoRecord)]);  // nothing written past the block
}

TEST_F(PluginModule, StartTwiceLeavesOneWindowAndStopWithoutWindowIsHarmless) {
    void* plugin = Create();
    EXPECT_EQ(1, CallSlot<int>(plugin, kStop));
    CallSlot<int>(plugin, kStart, 0, 0, 0, 0);
    CallSlot<int>(plugin, kStart, 0, 0, 0, 0);
    EXPECT_EQ(1u, NavigatorWindows().size());
    EXPECT_EQ(1, CallSlot<int>(plugin, kStop));
    EXPECT_EQ(1, CallSlot<int>(plugin, kStop));
    EXPECT_TRUE(NavigatorWindows().empty());
    CallSlot<int>(plugin, kStart, 0, 0, 0, 0);  // usable again after a stop
    EXPECT_EQ(1u, NavigatorWindows().size());
    Delete(plugin);
}

TEST_F(PluginModule, TwoObjectsAreIndependent) {
    void* first = Create();
    void* second = Create();
    CallSlot<int>(first, kStart, 0, 0, 0, 0);
    CallSlot<int>(second, kStart, 0, 0, 0, 0);
    EXPECT_EQ(2u, NavigatorWindows().size());
    CallSlot<int>(first, kStop);
    EXPECT_EQ(1u, NavigatorWindows().size());
    Delete(first);
    EXPECT_EQ(1u, NavigatorWindows().size());
    Delete(second);
    EXPECT_TRUE(NavigatorWindows().empty());
}

TEST_F(PluginModule, ReadyAndClosingReachThePlayer) {
    FakePlayer player;
    void* plugin = Create();
    DWORD started = GetTickCount();
    CallSlot<int>(plugin, kStart, 0, 0, 0, 0);
    HWND window = NavigatorWindows()[0];
    EXPECT_TRUE(player.Requests().empty());  // not during creation
    ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
    EXPECT_EQ(Request(window, 990), player.Requests()[0]);
    DWORD delay = player.Requests()[0].tick - started;
    EXPECT_GE(delay, 80u);
    EXPECT_LT(delay, 600u);

    player.Clear();
    CallSlot<int>(plugin, kStop);
    ASSERT_EQ(1u, player.Requests().size());
    EXPECT_EQ(Request(window, 991), player.Requests()[0]);
    Delete(plugin);
}
