// The settings record in the registry: each value's name, type and default, which hive wins,
// mistyped values, and save. What load took is read back through what save writes.
#include "settings/PluginSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/support/RegistryScratch.h"

namespace {

// A registry value as stored: its type (0: missing), and its number or its text.
using Value = std::tuple<DWORD, DWORD, std::string>;
Value Number(DWORD number) { return {REG_DWORD, number, ""}; }
Value Text(const std::string& text) { return {REG_SZ, 0, text}; }
const Value kPrimary = Number(DWORD(reinterpret_cast<LONG_PTR>(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY))));

// The twelve values save writes: what a missing key loads, and another value a user may choose.
const struct Setting { const char* name; Value byDefault, chosen; } kSettings[] = {
    {"Activate", Number(1), Number(0)},
    {"TrayIcon", Number(0), Number(1)},
    {"HotKey", Number(0), Number(0x50074)},  // Alt+Shift+F5
    {"Monitor", kPrimary, kPrimary},
    {"Column", Number(3), Number(8)},
    {"ShowThumbnail", Number(1), Number(0)},
    {"IconView", Number(1), Number(0)},
    {"TextFont", Text("Arial"), Text("Liberation Serif")},
    {"TextSize", Number(2), Number(4)},
    {"ShowDetailInfo", Number(0), Number(1)},
    {"MarginX", Number(0), Number(DWORD(-5))},
    {"MarginY", Number(0), Number(9)},
};

class Settings : public ::testing::Test {
protected:
    PluginSettings LoadedAndSaved(const std::string& tail = "") {
        PluginSettings s;
        s.Load((registry.Base() + "\\Rembrix" + tail).c_str());
        s.Save();
        return s;
    }
    // A value under HKEY_CURRENT_USER.
    Value Stored(const char* name) const {
        Value v = {0, 0, ""};
        if (registry.GetDword(name, &std::get<1>(v))) return {REG_DWORD, std::get<1>(v), ""};
        registry.GetString(name, &std::get<2>(v), &std::get<0>(v));
        return v;
    }
    // Writes `v`; a number given as text is written as those bytes alone.
    void Put(HKEY root, const char* name, const Value& v) const {
        const auto& [type, number, text] = v;
        const void* data = text.empty() ? static_cast<const void*>(&number) : text.c_str();
        DWORD size = text.empty() ? sizeof(number) : static_cast<DWORD>(text.size() + (type != REG_DWORD));
        RegSetKeyValueA(root, registry.SettingsKey().c_str(), name, type, data, size);
    }
    RegistryScratch registry{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(Settings, NoKeyLoadsTheDefaultsThatSaveThenWritesWithTheirTypes) {
    PluginSettings fresh = {};
    fresh.Save();  // nothing loaded: nothing written
    EXPECT_EQ(0u, std::get<0>(Stored("Activate")));
    PluginSettings s = LoadedAndSaved();
    for (const Setting& setting : kSettings) EXPECT_EQ(setting.byDefault, Stored(setting.name)) << setting.name;
    const COLORREF colours[kColourCount] = {
        0x00984E00, 0x00984E00, 0x00FCD694, 0x00782800, 0x00FFF0D2, 0x00E69349, 0x00FFFFFF, 0x00FFFFFF, 0x00D3A502,
        0x00D3A502, 0x00FFFFFF, 0x00FCD694, 0x00502300, 0x00FFFFFF, 0x00B46432, 0x00FFFFFF, 0x00D3A502, 0x0088561F,
        0x00808080, 0x00FFFFFF, 0x00984E00, 0x00782800, 0x00E69349, 0x00808080, 0x00FFFFFF, 0x00502300};
    for (int i = 0; i < kColourCount; ++i) EXPECT_EQ(colours[i], s.colours[i]) << "colour " << i;
    EXPECT_EQ(0u, std::get<0>(Stored("Color_0"))) << "colours are only read, never written";
}

// Under HKEY_LOCAL_MACHINE only, each value is read; save writes it to HKEY_CURRENT_USER. The path
// given ends in a separator: no second one is added.
TEST_F(Settings, TheMachineHiveFillsInAndSaveWritesEachValueToTheUser) {
    for (const Setting& setting : kSettings) Put(HKEY_LOCAL_MACHINE, setting.name, setting.chosen);
    registry.SetDword(HKEY_LOCAL_MACHINE, "Color_5", 0x000000FF);
    PluginSettings s = LoadedAndSaved("\\");
    for (const Setting& setting : kSettings) EXPECT_EQ(setting.chosen, Stored(setting.name)) << setting.name;
    EXPECT_EQ(0x000000FFu, s.colours[5]);
    EXPECT_EQ(-5, s.marginX);  // signed
}

// A value under HKEY_CURRENT_USER (and maybe one under HKEY_LOCAL_MACHINE), and what load takes.
TEST_F(Settings, TheUserHiveWinsMistypedValuesTakeTheirDefaultsAndRangesAreKept) {
    const struct {
        const char* what;
        const char* name;
        Value user;
        DWORD machine;  // 0: none
        Value loaded;
    } cases[] = {
        {"the user's number wins", "TextSize", Number(1), 4, Number(1)},
        {"a string where a number belongs", "IconView", Text("0"), 0, Number(1)},
        {"a number of two bytes", "ShowThumbnail", {REG_DWORD, 0, std::string(2, '\0')}, 0, Number(1)},
        {"eight bytes: the user side answers", "TrayIcon", {REG_DWORD, 0, std::string(8, '\1')}, 1, Number(0)},
        {"a monitor that is gone", "Monitor", Number(0x7FFF0001), 0, kPrimary},
        {"a column count out of range", "Column", Number(12), 0, Number(12)},
        {"a text size out of range", "TextSize", Number(9), 0, Number(9)},
        {"a font to expand, kept as written", "TextFont", {REG_EXPAND_SZ, 0, "%Windir%"}, 0, Text("%Windir%")},
        {"a font name longer than 256 bytes", "TextFont", Text(std::string(300, 'F')), 0, Text(std::string(300, 'F'))},
        {"a number where the font belongs", "TextFont", Number(12), 0, Text("Arial")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put(HKEY_CURRENT_USER, c.name, c.user);
        if (c.machine) registry.SetDword(HKEY_LOCAL_MACHINE, c.name, c.machine);
        LoadedAndSaved();
        EXPECT_EQ(c.loaded, Stored(c.name));
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, registry.SettingsKey().c_str(), c.name);
    }
}
