// Language packs beside the module (here, this program: plugin_tests.DEU is a copy of the German
// pack), chosen by the registry and the UI languages. What then comes from a pack: the options tests.
#include <windows.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "base/ModuleState.h"
#include "input/TrayIcon.h"
#include "plugin/LanguagePack.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

namespace {

constexpr char kKey[] = "Software\\Halvorn";
LANGID g_user = 0x0409, g_system = 0x0409;
LANGID WINAPI UserLanguage() { return g_user; }
LANGID WINAPI SystemLanguage() { return g_system; }

// The user may read HKEY_LOCAL_MACHINE but not open it for writing: a standard user (Wine's is an administrator).
LSTATUS(WINAPI* g_openKey)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LSTATUS WINAPI OpenKeyAsStandardUser(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
    if (root == HKEY_LOCAL_MACHINE && (access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    return g_openKey(root, path, options, access, key);
}

class LanguagePacks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standardUser_.Applied());
        g_openKey = reinterpret_cast<decltype(g_openKey)>(standardUser_.Original());
        german_ = ReadWholeFile(ProgramFolder() + "Rembrix.DEU");
        ASSERT_FALSE(german_.empty());
        SetUiLanguageCalls(UserLanguage, SystemLanguage);
        g_user = g_system = 0x0409;
        ThisModuleState().instance = ThisModuleState().resources = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        FreeLanguagePack(loaded);
        SetUiLanguageCalls(nullptr, nullptr);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            for (const char* name : {"UI_LanguageID", "UI_LanguagePack_Disable"}) RegDeleteKeyValueA(root, kKey, name);
        DeleteFileA(pack_.c_str());
    }
    void Place(const std::string& bytes) { std::ofstream(pack_, std::ios::binary) << bytes; }
    static void Set(HKEY root, const char* name, DWORD v) { RegSetKeyValueA(root, kKey, name, REG_DWORD, &v, 4); }
    const std::string pack_ = ProgramFolder() + "plugin_tests.DEU";
    std::string german_;
    LanguagePack loaded;
    ImportPatch standardUser_{"advapi32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(OpenKeyAsStandardUser)};
};

TEST_F(LanguagePacks, TheRegistryAndTheUiLanguagesChooseAPack) {
    // Language in the registry, disabled under HKEY_LOCAL_MACHINE, file version (major.minor, build.revision;
    // none: the pack's own 1.0.0.0), the user's and the system's UI languages, the pack's bytes, whether it loads.
    const std::string& g = german_;
    const struct { const char* what; DWORD registry, disable, version[2]; LANGID user, system; std::string bytes;
                   bool loads; } cases[] = {
        {"by the registry", 0x407, 0, {}, 0x409, 0x409, g, true},
        {"no English pack", 0, 0, {}, 0x409, 0x409, g, false},
        {"Austrian German by its primary language", 0, 0, {}, 0xC07, 0x409, g, true},
        {"the system's language", 0, 0, {}, 0x409, 0x407, g, true},
        {"disabled under the machine's key", 0x407, 1, {}, 0x407, 0x407, g, false},
        {"no pack for the language chosen: the user's", 0x412, 0, {}, 0x407, 0x409, g, true},
        {"v2.0", 0x407, 0, {0x20000}, 0x407, 0x407, g, false},
        {"another build and revision", 0x407, 0, {0x10000, 0x70009}, 0x409, 0x409, g, true},
        {"no module", 0x407, 0, {}, 0x407, 0x407, "MZ but not a module at all", false},
        {"cut short", 0x407, 0, {}, 0x407, 0x407, g.substr(0, g.size() / 2), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        std::string bytes = c.bytes;
        size_t fixedInfo = bytes.find("\xBD\x04\xEF\xFE");  // the file version follows 8 bytes on
        if (c.version[0] && fixedInfo != std::string::npos) memcpy(&bytes[fixedInfo + 8], c.version, 8);
        Place(bytes);
        if (c.registry) Set(HKEY_CURRENT_USER, "UI_LanguageID", c.registry);
        if (c.disable) Set(HKEY_LOCAL_MACHINE, "UI_LanguagePack_Disable", c.disable);
        g_user = c.user;
        g_system = c.system;
        EXPECT_EQ(c.loads, LoadLanguagePack(loaded, kKey));
        EXPECT_EQ(c.loads ? "DEU" : "", loaded.language);
        EXPECT_EQ(c.loads ? "Fernbedienungsoptionen" : "Remote Control Options", LoadResString(IDS_OPTIONS_TITLE));
    }
}

// A pack is data: none of its code runs. Its strings come first, cut to the record's fields (this
// pack's are longer than they are); what it lacks (all but strings 1, 3, 4 and 604) comes from the
// module: the other strings and the tray menu. Once the
// pack is freed, the module's own texts are back. (Skin pictures: the painting tests.)
TEST_F(LanguagePacks, APackIsDataAndWhatItLacksComesFromTheModule) {
    Place(ReadWholeFile(ProgramFolder() + "long_strings.dll"));
    Set(HKEY_CURRENT_USER, "UI_LanguageID", 0x0407);
    theApp.InitInstance(GetModuleHandleA(nullptr));
    ASSERT_EQ("DEU", theApp.languagePack.language);
    EXPECT_EQ(0u, GetEnvironmentVariableA("LONG_STRINGS_CODE_RAN", nullptr, 0)) << "the pack's code ran";
    RegistryScratch registry("LanguagePacks");
    RemotePlugin plugin(registry.Base().c_str());
    PluginInfoRecord record;
    plugin.GetPluginInfo(&record);
    EXPECT_EQ(std::string(79, 'N'), record.name);  // each field keeps its terminator
    EXPECT_EQ(std::string(79, 'M'), record.maker);
    EXPECT_EQ(std::string(255, 'D'), record.description);
    EXPECT_EQ("Remote Control Options", LoadResString(IDS_OPTIONS_TITLE));
    HMENU menu = BuildQuickConfigMenu(plugin.settings, false);
    EXPECT_NE(UINT(-1), GetMenuState(menu, ID_QUICK_SHOW_NAVIGATOR, MF_BYCOMMAND));
    DestroyMenu(menu);
    theApp.ExitInstance();
    EXPECT_EQ(nullptr, theApp.languagePack.module);
    EXPECT_EQ("Remote Controller Plugin for Quillar", LoadResString(IDS_PLUGIN_NAME));
}

}  // namespace
