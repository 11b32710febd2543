// The plug-in object linked into the test: its settings key, and what GetPluginInfo takes from the
// resource module when the strings there are longer than their fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/ModuleState.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "tests/support/RegistryScratch.h"

TEST(PluginObject, StringsLongerThanTheirFieldsAreCutAndTheRegistryPathGetsThePluginKey) {
    theApp.InitInstance(GetModuleHandleA(nullptr));
    EXPECT_STREQ("Software\\Halvorn\\Quillar\\Rembrix", RemotePlugin("Software\\Halvorn\\Quillar").registryPath);
    HMODULE pack = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, pack);
    ThisModuleState().resources = pack;
    RegistryScratch registry("PluginObject");
    PluginInfoRecord record;
    memset(&record, 0xCC, sizeof(record));
    RemotePlugin(registry.Base().c_str()).GetPluginInfo(&record);
    ThisModuleState().resources = GetModuleHandleA(nullptr);
    FreeLibrary(pack);
    // Each field keeps its terminator inside: the first 79, 79 and 255 characters of its string.
    EXPECT_EQ(std::string(79, 'N'), record.name);
    EXPECT_EQ(std::string(79, 'M'), record.maker);
    EXPECT_EQ(std::string(255, 'D'), record.description);
}
