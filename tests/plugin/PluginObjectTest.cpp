// The plug-in object linked into the test: what GetPluginInfo takes from the resource module.
#include <gtest/gtest.h>

#include <cstring>

#include "base/ModuleState.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "tests/support/RegistryScratch.h"

TEST(PluginObject, StringsLongerThanTheirFieldsAreCut) {
    theApp.InitInstance(GetModuleHandleA(nullptr));
    HMODULE pack = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, pack);
    ThisModuleState().resources = pack;

    RegistryScratch registry("PluginObject");
    auto* plugin = new RemotePlugin(registry.Base().c_str());
    PluginInfoRecord record;
    memset(&record, 0xCC, sizeof(record));
    plugin->GetPluginInfo(&record);
    plugin->DeletingDestructor(1);
    ThisModuleState().resources = GetModuleHandleA(nullptr);
    FreeLibrary(pack);

    EXPECT_EQ(79u, strlen(record.name));
    EXPECT_EQ(79u, strlen(record.maker));
    EXPECT_EQ(255u, strlen(record.description));
    EXPECT_EQ('N', record.name[0]);
    EXPECT_EQ('M', record.maker[78]);
    EXPECT_EQ(0, record.reserved1[0]);
}

TEST(PluginObject, RegistryPathGetsThePluginKey) {
    RemotePlugin plugin("Software\\Halvorn\\Quillar");
    EXPECT_STREQ("Software\\Halvorn\\Quillar\\Rembrix", plugin.registryPath);
    EXPECT_EQ(0, plugin.startValue);
}
