// The remotes' codes and what they ask of the Navigator, shown and hidden; also the raw report
// behind the 16-byte header of the 32-bit module (the window tests read the 64-bit one).
#include "input/RemoteCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "input/CommandTarget.h"

namespace {
// A button of the Media Center remote (its raw code) or of the Streamzap remote, and the command it gives in
// each state.
enum Remote { kMce, kZap };
struct Button { const char* name; Remote remote; uint32_t code; int shown, hidden; };
}  // namespace

// Media Center: one button of the plain kind, those that change with the state, codes that give nothing.
// Streamzap codes 0 to 20 are read from one list: its ends, its entry by state, its empty entry and one more;
// then a coloured button by state and one not; codes past the last; the digits.
TEST(RemoteCodes, MediaCenterAndStreamzapButtons) {
    const Button buttons[] = {
        {"0x14: the Navigator", kMce, 0x14, CMD_NAVIGATOR, CMD_NAVIGATOR},
        {"0x25: refresh shown, subtitle hidden", kMce, 0x25, CMD_REFRESH, CMD_SUBTITLE},
        {"MORE: sort shown, audio hidden", kMce, 0x209, CMD_SORT, CMD_AUDIO},
        {"0x26: nothing", kMce, 0x26, CMD_NONE, CMD_NONE},
        {"0x148: 0x48 with a high byte, nothing", kMce, 0x148, CMD_NONE, CMD_NONE},
        {"Streamzap 0: player command 5171", kZap, 0, CMD_HOST_5171, CMD_HOST_5171},
        {"Streamzap 7: 5104 if the player allows", kZap, 7, CMD_HOST_5104_IF, CMD_HOST_5104_IF},
        {"Streamzap 8: hide shown, 5102 hidden", kZap, 8, CMD_ESCAPE, CMD_HOST_5102},
        {"Streamzap 9: nothing", kZap, 9, -1, -1},
        {"Streamzap 20: escape", kZap, 20, CMD_ESCAPE, CMD_ESCAPE},
        {"Streamzap RED: sort shown, audio hidden", kZap, 31, CMD_SORT, CMD_AUDIO},
        {"Streamzap YELLOW: file mode", kZap, 33, CMD_FILE_MODE, CMD_FILE_MODE},
        {"Streamzap 35: nothing", kZap, 35, -1, -1},
        {"Streamzap all bits: nothing", kZap, 0xFFFFFFFFu, -1, -1},
    };
    for (const Button& b : buttons)
        for (bool shown : {true, false}) {
            int got = b.remote == kMce ? MapRawButton(b.code, shown) : MapStreamzapButton(b.code, shown);
            EXPECT_EQ(shown ? b.shown : b.hidden, got) << b.name << (shown ? ", shown" : ", hidden");
        }
    for (uint32_t code = 21; code <= 30; ++code)  // the digits 1 to 9, then 0
        for (bool shown : {true, false})
            EXPECT_EQ(int(code - 20) % 10, StreamzapDigit(MapStreamzapButton(code, shown))) << "digit button " << code;
}

// Each kind of answer: a command (one value or two), consumed, left to others.
TEST(RemoteCodes, ApplicationCommandsWhileShown) {
    const struct { const char* name; std::vector<int> values; int command; } rows[] = {
        {"play/pause and play: choose", {14, 46}, CMD_OK},
        {"CH +: next list", {51}, CMD_NEXT_LIST},
        {"CH -: previous list", {52}, CMD_PREV_LIST},
        {"volume, track and transport: consumed, kept from the player", {9, 10, 11, 12, 47, 48, 49, 50}, CMD_NONE},
        {"any other: left to others", {0, 2, 7, 15, 19, 45, 53}, -1},
    };
    for (const auto& r : rows)
        for (int value : r.values) EXPECT_EQ(r.command, MapAppCommandValue(value)) << r.name << ", value " << value;
}

TEST(HidReport, ButtonCodeBehindA16ByteHeader) {
    const struct { const char* name; uint8_t sizeHid; std::vector<uint8_t> report; int64_t code; } cases[] = {
        {"2-byte report: byte 1", 2, {0x03, 0x48}, 0x48},
        {"3-byte report: byte 2 is the high byte", 3, {0x03, 0x48, 0x01}, 0x148},
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
