#include "plugin/PluginSettings.h"

#include <gtest/gtest.h>

#include "plugin/Monitors.h"
#include "plugin/RegistryStore.h"
#include "tests/support/RegistryScratch.h"

namespace {

class Settings : public ::testing::Test {
protected:
    std::string PluginPath() const { return registry.Base() + "\\Rembrix"; }
    PluginSettings Loaded() {
        PluginSettings settings;
        settings.Load(PluginPath().c_str());
        return settings;
    }
    RegistryScratch registry{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(Settings, NoKeyGivesTheDefaults) {
    PluginSettings s = Loaded();
    EXPECT_EQ(1u, s.activate);
    EXPECT_EQ(0u, s.trayIcon);
    EXPECT_EQ(0u, s.hotKey);
    EXPECT_EQ(GetPrimaryMonitor(), s.Monitor());
    EXPECT_EQ(3u, s.column);
    EXPECT_EQ(1u, s.showThumbnail);
    EXPECT_EQ(1u, s.iconView);
    EXPECT_EQ("Arial", s.textFont);
    EXPECT_EQ(2u, s.textSize);
    EXPECT_EQ(0u, s.showDetailInfo);
    EXPECT_EQ(0, s.marginX);
    EXPECT_EQ(0, s.marginY);
    for (int i = 0; i < kColourCount; ++i) EXPECT_EQ(kDefaultColours[i], s.colours[i]) << i;
    EXPECT_EQ(registry.SettingsKey(), s.keyPath);
}

TEST_F(Settings, UserHiveWinsAndMachineHiveFillsIn) {
    registry.SetDword(HKEY_LOCAL_MACHINE, "Column", 5);
    registry.SetDword(HKEY_LOCAL_MACHINE, "TextSize", 4);
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", 1);
    registry.SetDword(HKEY_LOCAL_MACHINE, "Color_3", 0x00123456);
    PluginSettings s = Loaded();
    EXPECT_EQ(5u, s.column);
    EXPECT_EQ(1u, s.textSize);
    EXPECT_EQ(0x00123456u, s.colours[3]);
}

TEST_F(Settings, WrongTypesFallBackToDefaults) {
    registry.SetString(HKEY_CURRENT_USER, "Column", "7");
    registry.SetDword(HKEY_CURRENT_USER, "TextFont", 12);
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, registry.SettingsKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const BYTE twoBytes[2] = {1, 0};
    RegSetValueExA(key, "ShowThumbnail", 0, REG_DWORD, twoBytes, 2);  // a DWORD of the wrong size
    RegCloseKey(key);
    PluginSettings s = Loaded();
    EXPECT_EQ(3u, s.column);
    EXPECT_EQ("Arial", s.textFont);
    EXPECT_EQ(1u, s.showThumbnail);
}

TEST_F(Settings, ExpandStringFontIsTakenUnexpanded) {
    registry.SetString(HKEY_CURRENT_USER, "TextFont", "%SystemRoot% Sans", REG_EXPAND_SZ);
    EXPECT_EQ("%SystemRoot% Sans", Loaded().textFont);
}

TEST_F(Settings, SaveWritesTheTwelveValuesAndNoColours) {
    PluginSettings s = Loaded();
    s.column = 4;
    s.hotKey = 0x20074;
    s.marginX = -5;
    s.textFont = "Liberation Serif";
    s.Save();

    const char* names[] = {"Activate", "TrayIcon", "HotKey", "Monitor", "Column", "ShowThumbnail",
                           "IconView", "TextSize", "ShowDetailInfo", "MarginX", "MarginY"};
    for (const char* name : names) {
        DWORD value;
        EXPECT_TRUE(registry.GetDword(name, &value)) << name;
    }
    DWORD value = 0;
    registry.GetDword("Column", &value);
    EXPECT_EQ(4u, value);
    registry.GetDword("MarginX", &value);
    EXPECT_EQ(static_cast<DWORD>(-5), value);
    std::string font;
    DWORD type = 0;
    ASSERT_TRUE(registry.GetString("TextFont", &font, &type));
    EXPECT_EQ("Liberation Serif", font);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_FALSE(registry.GetDword("Color_0", &value));

    PluginSettings again = Loaded();
    EXPECT_EQ(0x20074u, again.hotKey);
    EXPECT_EQ(-5, again.marginX);
}

TEST_F(Settings, StoredColourSurvivesSaves) {
    registry.SetDword(HKEY_CURRENT_USER, "Color_5", 0x000000FF);
    for (int i = 0; i < 3; ++i) {
        PluginSettings s = Loaded();
        EXPECT_EQ(0x000000FFu, s.colours[5]);
        s.Save();
    }
    DWORD value = 0;
    ASSERT_TRUE(registry.GetDword("Color_5", &value));
    EXPECT_EQ(0x000000FFu, value);
}

TEST_F(Settings, SaveBeforeLoadWritesNothing) {
    PluginSettings s = {};
    s.Save();
    DWORD value;
    EXPECT_FALSE(registry.GetDword("Activate", &value));
}

TEST_F(Settings, StaleMonitorBecomesThePrimary) {
    registry.SetDword(HKEY_CURRENT_USER, "Monitor", 0x7FFF0001);
    EXPECT_EQ(GetPrimaryMonitor(), Loaded().Monitor());
}

TEST(RegistryStore, QueriesSizesAndRefusesSmallBuffers) {
    RegistryScratch registry("RegistryStore");
    registry.SetString(HKEY_CURRENT_USER, "Text", "0123456789");
    RegistryStore store;
    ASSERT_TRUE(store.Open(registry.SettingsKey().c_str()));
    DWORD type = 0;
    EXPECT_EQ(11u, store.QueryValue("Text", nullptr, 0, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    char small[4];
    EXPECT_EQ(0u, store.QueryValue("Text", small, sizeof(small), &type));
    EXPECT_EQ("0123456789", store.GetString("Text", "x", false));
    EXPECT_EQ("none", store.GetString("Missing", "none", false));
    EXPECT_EQ(9u, store.GetDword("Missing", 9));

    RegistryStore nowhere;
    EXPECT_FALSE(nowhere.Open("Software\\RembrixTests\\NoSuchKey"));
    EXPECT_FALSE(nowhere.SetValue("x", "y", 2, REG_SZ));
}
