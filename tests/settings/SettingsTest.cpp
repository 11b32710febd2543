// The settings record in the registry: each value's name, type and default, which hive wins,
// mistyped values, and save. What load took is read back through what save writes.
#include "settings/PluginSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/RegistryScratch.h"

namespace {

using Value = RegistryValue;
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

struct Settings : ::testing::Test {
    PluginSettings LoadedAndSaved(const std::string& tail = "") {
        PluginSettings s;
        s.Load((registry.Base() + "\\Rembrix" + tail).c_str());
        s.Save();
        return s;
    }
    RegistryScratch registry{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(Settings, NoKeyLoadsTheDefaultsThatSaveThenWritesWithTheirTypes) {
    PluginSettings s = LoadedAndSaved();
    for (const Setting& v : kSettings) EXPECT_EQ(v.byDefault, registry.Stored(v.name)) << v.name;
    EXPECT_EQ(std::make_pair(COLORREF(0x00984E00), COLORREF(0x00502300)),
              std::make_pair(s.colours[0], s.colours[kColourCount - 1]));  // the first and last colours
}

// Under HKEY_LOCAL_MACHINE only, each value is read; save writes it to HKEY_CURRENT_USER. The path
// given ends in a separator: no second one is added.
TEST_F(Settings, TheMachineHiveFillsInAndSaveWritesEachValueToTheUser) {
    for (const Setting& setting : kSettings) registry.Put(HKEY_LOCAL_MACHINE, setting.name, setting.chosen);
    EXPECT_EQ(-5, LoadedAndSaved("\\").marginX);  // signed
    for (const Setting& setting : kSettings) EXPECT_EQ(setting.chosen, registry.Stored(setting.name)) << setting.name;
}

// A value under HKEY_CURRENT_USER (and maybe one under HKEY_LOCAL_MACHINE), and what load takes.
TEST_F(Settings, TheUserHiveWinsMistypedValuesTakeTheirDefaultsAndRangesAreKept) {
    // What the row shows, the value's name, the user's value, the machine's number (0: none), what load took.
    const struct { const char* what; const char* name; Value user; DWORD machine; Value loaded; } cases[] = {
        {"the user's number wins", "TextSize", Number(1), 4, Number(1)},
        {"a string where a number belongs", "IconView", Text("0"), 0, Number(1)},
        {"a number of two bytes", "ShowThumbnail", {REG_DWORD, std::string(2, '\0')}, 0, Number(1)},
        {"eight bytes: the user side answers", "TrayIcon", {REG_DWORD, std::string(8, '\1')}, 1, Number(0)},
        {"a monitor that is gone", "Monitor", Number(0x7FFF0001), 0, kPrimary},
        {"a column count out of range", "Column", Number(12), 0, Number(12)},
        {"a font to expand, kept as written", "TextFont", Text("%Windir%", REG_EXPAND_SZ), 0, Text("%Windir%")},
        {"a font name longer than 256 bytes", "TextFont", Text(std::string(300, 'F')), 0, Text(std::string(300, 'F'))},
        {"a number where the font belongs", "TextFont", Number(12), 0, Text("Arial")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        registry.Put(HKEY_CURRENT_USER, c.name, c.user);
        if (c.machine) registry.SetDword(HKEY_LOCAL_MACHINE, c.name, c.machine);
        LoadedAndSaved();
        EXPECT_EQ(c.loaded, registry.Stored(c.name));
    }
}
