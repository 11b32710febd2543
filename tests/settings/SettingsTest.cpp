// The settings record in the registry: each value's name, type and default, which hive wins,
// mistyped values, and save. What load took is read back through what save writes.
#include "settings/PluginSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/RegistryScratch.h"

namespace {

// A registry value as stored: its type (0: missing) and its bytes (a string's with its terminator).
using Value = std::pair<DWORD, std::string>;
Value Number(DWORD number) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof(number))}; }
Value Text(const std::string& text, DWORD type = REG_SZ) { return {type, text + '\0'}; }
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
    // A value under HKEY_CURRENT_USER.
    Value Stored(const char* name) const {
        char data[1024];
        DWORD type = 0, size = sizeof(data);
        LSTATUS status = RegGetValueA(HKEY_CURRENT_USER, registry.SettingsKey().c_str(), name,
                                      RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size);
        return status == ERROR_SUCCESS ? Value{type, std::string(data, size)} : Value{0, ""};
    }
    void Put(HKEY root, const char* name, const Value& v) const {
        RegSetKeyValueA(root, registry.SettingsKey().c_str(), name, v.first, v.second.data(), DWORD(v.second.size()));
    }
    RegistryScratch registry{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

}  // namespace

TEST_F(Settings, NoKeyLoadsTheDefaultsThatSaveThenWritesWithTheirTypes) {
    PluginSettings s = LoadedAndSaved();
    for (const Setting& setting : kSettings) EXPECT_EQ(setting.byDefault, Stored(setting.name)) << setting.name;
    EXPECT_EQ(std::make_pair(COLORREF(0x00984E00), COLORREF(0x00502300)),
              std::make_pair(s.colours[0], s.colours[kColourCount - 1]));  // the first and last colours
}

// Under HKEY_LOCAL_MACHINE only, each value is read; save writes it to HKEY_CURRENT_USER. The path
// given ends in a separator: no second one is added.
TEST_F(Settings, TheMachineHiveFillsInAndSaveWritesEachValueToTheUser) {
    for (const Setting& setting : kSettings) Put(HKEY_LOCAL_MACHINE, setting.name, setting.chosen);
    EXPECT_EQ(-5, LoadedAndSaved("\\").marginX);  // signed
    for (const Setting& setting : kSettings) EXPECT_EQ(setting.chosen, Stored(setting.name)) << setting.name;
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
        Put(HKEY_CURRENT_USER, c.name, c.user);
        if (c.machine) registry.SetDword(HKEY_LOCAL_MACHINE, c.name, c.machine);
        LoadedAndSaved();
        EXPECT_EQ(c.loaded, Stored(c.name));
    }
}
