// Language packs beside the module (here, this program: plugin_tests.DEU is a copy of the German
// pack), chosen by the registry and the UI languages, and what then comes from them.
#include <windows.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "base/ModuleState.h"
#include "plugin/LanguagePack.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"
#include "tools/snapshot/WindowCapture.h"

namespace {

constexpr char kKey[] = "Software\\Halvorn";
LANGID g_user = 0x0409, g_system = 0x0409;
LANGID WINAPI UserLanguage() { return g_user; }
LANGID WINAPI SystemLanguage() { return g_system; }

std::wstring Text(HMODULE module, UINT id) { wchar_t text[128] = {}; LoadStringW(module, id, text, 128); return text; }

class LanguagePacks : public ::testing::Test {
protected:
    void SetUp() override {
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
};

TEST_F(LanguagePacks, TheRegistryAndTheUiLanguagesChooseAPack) {
    // Language in the registry, disabled under HKEY_LOCAL_MACHINE, file version (0: the pack's own),
    // the user's and the system's UI languages, the pack's bytes, whether it loads.
    const std::string& g = german_;
    const struct { const char* what; DWORD registry, disable, versionMS; LANGID user, system; std::string bytes;
                   bool loads; } cases[] = {
        {"by the registry", 0x407, 0, 0, 0x409, 0x409, g, true}, {"no English pack", 0, 0, 0, 0x409, 0x409, g, false},
        {"Austrian German by its primary language", 0, 0, 0, 0xC07, 0x409, g, true},
        {"the system's language", 0, 0, 0, 0x409, 0x407, g, true}, {"disabled", 0x407, 1, 0, 0x407, 0x407, g, false},
        {"v2.0", 0x407, 0, 0x20000, 0x407, 0x407, g, false}, {"v1.0 build", 0x407, 0, 0x10000, 0x409, 0x409, g, true},
        {"no module", 0x407, 0, 0, 0x407, 0x407, "MZ but not a module at all", false},
        {"cut short", 0x407, 0, 0, 0x407, 0x407, g.substr(0, g.size() / 2), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        std::string bytes = c.bytes;
        size_t fixedInfo = bytes.find("\xBD\x04\xEF\xFE");  // the file version follows 8 bytes on
        if (c.versionMS && fixedInfo != std::string::npos) memcpy(&bytes[fixedInfo + 8], &c.versionMS, 4);
        Place(bytes);
        if (c.registry) Set(HKEY_CURRENT_USER, "UI_LanguageID", c.registry);
        if (c.disable) Set(HKEY_LOCAL_MACHINE, "UI_LanguagePack_Disable", c.disable);
        g_user = c.user;
        g_system = c.system;
        EXPECT_EQ(c.loads, LoadLanguagePack(loaded, kKey));
        EXPECT_EQ(c.loads ? "DEU" : "", loaded.language);
        EXPECT_EQ(c.loads ? L"Fernbedienungsoptionen" : L"Remote Control Options",
                  Text(ThisModuleState().resources, IDS_OPTIONS_TITLE));
    }
}

TEST_F(LanguagePacks, TextsComeFromThePackAndPicturesFromTheModule) {
    Place(german_);
    Set(HKEY_CURRENT_USER, "UI_LanguageID", 0x0407);
    theApp.InitInstance(GetModuleHandleA(nullptr));
    ASSERT_EQ("DEU", theApp.languagePack.language);
    RegistryScratch registry("LanguagePacks");
    RemotePlugin plugin(registry.Base().c_str());
    PluginInfoRecord record;
    plugin.GetPluginInfo(&record);
    EXPECT_EQ(0, strncmp(record.name, "Fernbedienungs-Plug-in f", 24)) << record.name;
    plugin.Start(0, 0, 0, 0);
    plugin.navigator.ShowList(Tracks);  // loads the skin for the track list
    // Below the entries: the skin's background picture, not the colour it falls back to.
    WindowCapture shown(plugin.navigator.Handle());
    EXPECT_NE(plugin.settings.colours[0], shown.At(shown.Width() / 2, shown.Height() - 10));
    theApp.ExitInstance();
    EXPECT_EQ(nullptr, theApp.languagePack.module);
    EXPECT_EQ(L"Remote Control Options", Text(ResourceModule(), IDS_OPTIONS_TITLE));
}

}  // namespace
