// The remotes' codes and what they ask of the Navigator, shown and hidden; also the raw report
// behind the 16-byte header of the 32-bit module (the window tests read the 64-bit one).
#include "input/RemoteCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "input/CommandTarget.h"

namespace {
// A button's code and the command it gives in each state.
struct Button { const char* name; uint32_t code; int shown, hidden; };
}  // namespace

TEST(RemoteCodes, MediaCenterButtons) {
    const Button buttons[] = {
        {"0x0F: file mode", 0x0F, CMD_FILE_MODE, CMD_FILE_MODE},
        {"0x14: the Navigator", 0x14, CMD_NAVIGATOR, CMD_NAVIGATOR},
        {"0x1B: sort", 0x1B, CMD_SORT, CMD_SORT},
        {"DVD MENU: disc mode", 0x24, CMD_DISC_MODE, CMD_DISC_MODE},
        {"0x25: refresh shown, subtitle hidden", 0x25, CMD_REFRESH, CMD_SUBTITLE},
        {"0x27: player command 5205", 0x27, CMD_HOST_5205, CMD_HOST_5205},
        {"0x4C: audio", 0x4C, CMD_AUDIO, CMD_AUDIO},
        {"0x4D: subtitle", 0x4D, CMD_SUBTITLE, CMD_SUBTITLE},
        {"MORE: sort shown, audio hidden", 0x209, CMD_SORT, CMD_AUDIO},
        {"0x26: nothing", 0x26, CMD_NONE, CMD_NONE},
        {"0x148: 0x48 with a high byte, nothing", 0x148, CMD_NONE, CMD_NONE},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.shown, MapRawButton(b.code, true)) << b.name;
        EXPECT_EQ(b.hidden, MapRawButton(b.code, false)) << b.name;
    }
}

TEST(RemoteCodes, ApplicationCommandsWhileShown) {
    const struct { const char* name; std::vector<int> values; int command; } rows[] = {
        {"BACK: refresh", {1}, CMD_REFRESH},
        {"MUTE: delete", {8}, CMD_DELETE},
        {"stop: hide", {13}, CMD_ESCAPE},
        {"play/pause and play: choose", {14, 46}, CMD_OK},
        {"CH +: next list", {51}, CMD_NEXT_LIST},
        {"CH -: previous list", {52}, CMD_PREV_LIST},
        {"volume, track and transport: consumed, kept from the player", {9, 10, 11, 12, 47, 48, 49, 50}, CMD_NONE},
        {"any other: left to others", {0, 2, 7, 15, 19, 45, 53}, -1},
    };
    for (const auto& r : rows)
        for (int value : r.values) EXPECT_EQ(r.command, MapAppCommandValue(value)) << r.name << ", value " << value;
}

// Codes 0 to 20 are read from one list: its ends, its entry by state and its empty entry, and one of
// each kind of command; the digits; the coloured buttons; codes past the last.
TEST(RemoteCodes, StreamzapButtons) {
    const Button buttons[] = {
        {"0: player command 5171", 0, CMD_HOST_5171, CMD_HOST_5171},
        {"CH +: next list", 4, CMD_NEXT_LIST, CMD_NEXT_LIST},
        {"CH -: previous list", 5, CMD_PREV_LIST, CMD_PREV_LIST},
        {"6: select", 6, CMD_SELECT, CMD_SELECT},
        {"7: 5104 if the player allows", 7, CMD_HOST_5104_IF, CMD_HOST_5104_IF},
        {"8: hide shown, 5102 hidden", 8, CMD_ESCAPE, CMD_HOST_5102},
        {"9: nothing", 9, -1, -1},
        {"10: player command 5107", 10, CMD_HOST_5107, CMD_HOST_5107},
        {"up", 14, CMD_UP, CMD_UP},
        {"OK", 18, CMD_OK, CMD_OK},
        {"MENU: the Navigator", 19, CMD_NAVIGATOR, CMD_NAVIGATOR},
        {"20: escape", 20, CMD_ESCAPE, CMD_ESCAPE},
        {"RED: sort shown, audio hidden", 31, CMD_SORT, CMD_AUDIO},
        {"GREEN: refresh shown, subtitle hidden", 32, CMD_REFRESH, CMD_SUBTITLE},
        {"YELLOW: file mode", 33, CMD_FILE_MODE, CMD_FILE_MODE},
        {"BLUE: disc mode", 34, CMD_DISC_MODE, CMD_DISC_MODE},
        {"35: nothing", 35, -1, -1},
        {"all bits: nothing", 0xFFFFFFFFu, -1, -1},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.shown, MapStreamzapButton(b.code, true)) << b.name;
        EXPECT_EQ(b.hidden, MapStreamzapButton(b.code, false)) << b.name;
    }
    for (uint32_t code = 21; code <= 30; ++code)  // the digits 1 to 9, then 0
        for (bool shown : {true, false})
            EXPECT_EQ(int(code - 20) % 10, StreamzapDigit(MapStreamzapButton(code, shown))) << "digit button " << code;
}

TEST(HidReport, ButtonCodeBehindA16ByteHeader) {
    const struct { const char* name; uint8_t sizeHid; std::vector<uint8_t> report; int64_t code; } cases[] = {
        {"2-byte report: byte 1", 2, {0x03, 0x48}, 0x48},
        {"3-byte report: byte 2 is the high byte", 3, {0x03, 0x48, 0x01}, 0x148},
        {"4-byte report: the fourth byte is not read", 4, {0x03, 0x8D, 0x00, 0x7F}, 0x8D},
        {"1-byte report: no button", 1, {0x03}, -1},
        {"claims three bytes, holds two: no button", 3, {0x03, 0x48}, -1},
    };
    for (const auto& c : cases) {
        // RIM_TYPEHID; at 16 the HID block (report size, report count); at 24 the report.
        uint8_t data[32] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, c.sizeHid, 0, 0, 0, 1};
        std::copy(c.report.begin(), c.report.end(), data + 24);
        uint32_t code = 0;
        bool taken = ParseHidButton(data, 24 + c.report.size(), 16, &code);
        EXPECT_EQ(c.code, taken ? int64_t(code) : -1) << c.name;
    }
}
