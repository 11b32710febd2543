// The settings record in the registry: defaults, which hive wins, mistyped values, and save.
#include "settings/PluginSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/RegistryScratch.h"

namespace {

HMONITOR Primary() { return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY); }

class Settings : public ::testing::Test {
protected:
    PluginSettings Loaded() { PluginSettings s; s.Load((registry.Base() + "\\Rembrix").c_str()); return s; }
    // A value under HKEY_CURRENT_USER; 0xDEAD when missing.
    DWORD Stored(const char* name) { DWORD value = 0xDEAD; return registry.GetDword(name, &value) ? value : 0xDEAD; }
    RegistryScratch registry{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(Settings, NoKeyGivesTheDefaults) {
    PluginSettings s = Loaded();
    EXPECT_EQ(std::make_tuple(1ul, 0ul, 0ul, Primary(), 3ul, 1ul, 1ul, std::string("Arial"), 2ul, 0ul, 0l, 0l),
              std::make_tuple(s.activate, s.trayIcon, s.hotKey, s.Monitor(), s.column, s.showThumbnail, s.iconView,
                              s.textFont, s.textSize, s.showDetailInfo, s.marginX, s.marginY));
    const COLORREF colours[kColourCount] = {
        0x00984E00, 0x00984E00, 0x00FCD694, 0x00782800, 0x00FFF0D2, 0x00E69349, 0x00FFFFFF, 0x00FFFFFF, 0x00D3A502,
        0x00D3A502, 0x00FFFFFF, 0x00FCD694, 0x00502300, 0x00FFFFFF, 0x00B46432, 0x00FFFFFF, 0x00D3A502, 0x0088561F,
        0x00808080, 0x00FFFFFF, 0x00984E00, 0x00782800, 0x00E69349, 0x00808080, 0x00FFFFFF, 0x00502300};
    for (int i = 0; i < kColourCount; ++i) EXPECT_EQ(colours[i], s.colours[i]) << "colour " << i;
}

TEST_F(Settings, TheUserHiveWinsTheMachineHiveFillsInAndMistypedValuesAreIgnored) {
    registry.SetDword(HKEY_LOCAL_MACHINE, "Column", 5);
    registry.SetDword(HKEY_LOCAL_MACHINE, "TextSize", 4);
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", 1);
    registry.SetDword(HKEY_LOCAL_MACHINE, "Color_3", 0x00123456);
    registry.SetString(HKEY_CURRENT_USER, "IconView", "0");       // a string where a number belongs
    registry.SetDword(HKEY_CURRENT_USER, "Monitor", 0x7FFF0001);  // a monitor that is gone
    registry.SetString(HKEY_CURRENT_USER, "TextFont", "%SystemRoot% Sans", REG_EXPAND_SZ);
    // Numbers of two and of eight bytes: the user side answers, with no number.
    const std::string key = registry.SettingsKey();
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "ShowThumbnail", REG_DWORD, "\0", 2);
    RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "TrayIcon", REG_DWORD, "\1\0\0\0\0\0\0\0", 8);
    registry.SetDword(HKEY_LOCAL_MACHINE, "TrayIcon", 1);
    PluginSettings s = Loaded();
    EXPECT_EQ(std::make_tuple(5ul, 1ul, 0x00123456ul, 1ul, 1ul, 0ul, Primary(), std::string("%SystemRoot% Sans")),
              std::make_tuple(s.column, s.textSize, s.colours[3], s.iconView, s.showThumbnail, s.trayIcon,
                              s.Monitor(), s.textFont));  // the font taken unexpanded
    registry.SetDword(HKEY_CURRENT_USER, "TextFont", 12);
    EXPECT_EQ("Arial", Loaded().textFont);
}

TEST_F(Settings, SaveWritesTheTwelveValuesAndNoColours) {
    PluginSettings fresh = {};
    fresh.Save();  // nothing loaded: nothing written
    EXPECT_EQ(0xDEADu, Stored("Activate"));
    registry.SetDword(HKEY_CURRENT_USER, "Color_5", 0x000000FF);
    PluginSettings s = Loaded();
    std::tie(s.activate, s.trayIcon, s.hotKey, s.monitor, s.column, s.showThumbnail, s.iconView, s.textSize,
             s.showDetailInfo, s.marginX, s.marginY) = std::make_tuple(0, 1, 0x20074, 77, 4, 0, 0, 4, 1, -5, 9);
    s.textFont = "Liberation Serif";
    s.Save();
    const std::pair<const char*, DWORD> want[] = {
        {"Activate", 0}, {"TrayIcon", 1},  {"HotKey", 0x20074},     {"Monitor", 77},         {"Column", 4},
        {"ShowThumbnail", 0}, {"IconView", 0}, {"TextSize", 4}, {"ShowDetailInfo", 1}, {"MarginX", DWORD(-5)},
        {"MarginY", 9},  {"Color_5", 0xFF}, {"Color_0", 0xDEAD}};  // colours are only read, never written
    for (const auto& w : want) EXPECT_EQ(w.second, Stored(w.first)) << w.first;
    std::string font;
    DWORD type = 0;
    ASSERT_TRUE(registry.GetString("TextFont", &font, &type));
    EXPECT_EQ(std::make_pair(std::string("Liberation Serif"), DWORD(REG_SZ)), std::make_pair(font, type));
    EXPECT_EQ(-5, Loaded().marginX);  // read back signed
}
