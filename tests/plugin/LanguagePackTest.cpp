// Language packs beside the module (here, this program: plugin_tests.DEU is a copy of the German
// pack), chosen by the registry and the UI languages, and what then comes from them.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/ModuleState.h"
#include "plugin/LanguagePack.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"
#include "res/resource.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

namespace {

constexpr char kKey[] = "Software\\Halvorn";
LANGID g_user = 0x0409, g_system = 0x0409;
LANGID WINAPI UserLanguage() { return g_user; }
LANGID WINAPI SystemLanguage() { return g_system; }

std::wstring Text(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

class LanguagePacks : public ::testing::Test {
protected:
    void SetUp() override {
        pack_ = ProgramFolder() + "plugin_tests.DEU";
        german_ = ReadWholeFile(ProgramFolder() + "Rembrix.DEU");
        ASSERT_FALSE(german_.empty());
        SetUiLanguageCalls(UserLanguage, SystemLanguage);
        g_user = g_system = 0x0409;
        ThisModuleState().instance = ThisModuleState().resources = GetModuleHandleA(nullptr);
    }
    void TearDown() override {
        FreeLanguagePack(loaded);
        SetUiLanguageCalls(nullptr, nullptr);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegDeleteKeyValueA(root, kKey, "UI_LanguageID");
            RegDeleteKeyValueA(root, kKey, "UI_LanguagePack_Disable");
        }
        DeleteFileA(pack_.c_str());
    }
    void Place(const std::string& bytes) {
        HANDLE file = CreateFileA(pack_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    static void Set(HKEY root, const char* name, DWORD value) {
        RegSetKeyValueA(root, kKey, name, REG_DWORD, &value, sizeof(value));
    }
    // The pack with another file version.
    std::string Versioned(DWORD versionMS) const {
        std::string bytes = german_;
        const DWORD signature = 0xFEEF04BD;
        size_t at = bytes.find(std::string(reinterpret_cast<const char*>(&signature), 4));
        if (at != std::string::npos) memcpy(&bytes[at + 8], &versionMS, 4);
        return bytes;
    }

    std::string pack_, german_;
    LanguagePack loaded;
};

TEST_F(LanguagePacks, TheRegistryAndTheUiLanguagesChooseAPack) {
    struct Case {
        const char* what;
        DWORD userLanguageId, machineDisable;
        LANGID user;
        std::string bytes;
        bool loads;
    } cases[] = {
        {"chosen in the registry", 0x0407, 0, 0x0409, german_, true},
        {"the user's language, Austrian German, by its primary language", 0, 0, 0x0C07, german_, true},
        {"disabled under HKEY_LOCAL_MACHINE only", 0x0407, 1, 0x0407, german_, false},
        {"a pack of version 2.0", 0x0407, 0, 0x0407, Versioned(0x00020000), false},
        {"another build of 1.0", 0x0407, 0, 0x0409, Versioned(0x00010000), true},
        {"no pack for English", 0, 0, 0x0409, german_, false},
        {"a file that is no module", 0x0407, 0, 0x0407, "MZ but not a module at all", false},
        {"a pack cut short", 0x0407, 0, 0x0407, german_.substr(0, german_.size() / 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Place(c.bytes);
        if (c.userLanguageId) Set(HKEY_CURRENT_USER, "UI_LanguageID", c.userLanguageId);
        if (c.machineDisable) Set(HKEY_LOCAL_MACHINE, "UI_LanguagePack_Disable", c.machineDisable);
        g_user = c.user;
        EXPECT_EQ(c.loads, LoadLanguagePack(loaded, kKey));
        EXPECT_EQ(c.loads ? "DEU" : "", loaded.language);
        EXPECT_EQ(c.loads ? L"Fernbedienungsoptionen" : L"Remote Control Options",
                  Text(ThisModuleState().resources, IDS_OPTIONS_TITLE));
    }
}

TEST_F(LanguagePacks, CandidatesComeTwoToALanguage) {
    g_user = 0x0C07;
    g_system = 0x0411;
    std::vector<LANGID> list;
    EXPECT_EQ(4, CollectUILanguages(list));
    EXPECT_EQ((std::vector<LANGID>{0x0C07, 0x0407, 0x0411, 0x0411}), list);
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
    EXPECT_EQ(Text(theApp.languagePack.module, IDS_PLUGIN_NAME).size(), strlen(record.name));
    EXPECT_EQ(0, strncmp(record.name, "Fernbedienungs-Plug-in f", 24)) << record.name;
    HMENU menu = LoadMenuA(ResourceModule(), MAKEINTRESOURCEA(IDR_QUICK_CONFIG));
    char item[64] = {};
    GetMenuStringA(menu, 32771, item, sizeof(item), MF_BYCOMMAND);
    DestroyMenu(menu);
    EXPECT_STREQ("&Einstellungen...", item);

    plugin.Start(0, 0, 0, 0);
    plugin.navigator.ShowList(Tracks);  // loads the skin for the track list
    EXPECT_TRUE(plugin.navigator.skin[kSkinBackground].IsValid());
    theApp.ExitInstance();
    EXPECT_EQ(nullptr, theApp.languagePack.module);
    EXPECT_EQ(L"Remote Control Options", Text(ResourceModule(), IDS_OPTIONS_TITLE));
}

}  // namespace
