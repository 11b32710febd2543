// A raw report behind the 16-byte header of the 32-bit module; the window tests read the 64-bit one.
#include "input/RemoteCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(HidReport, ButtonCodeBehindA16ByteHeader) {
    const struct { uint8_t sizeHid; std::vector<uint8_t> report; int64_t code; } cases[] = {  // -1: no button
        {2, {0x03, 0x48}, 0x48}, {3, {0x03, 0x48, 0x01}, 0x148}, {4, {0x03, 0x8D, 0x00, 0x7F}, 0x8D},
        {1, {0x03}, -1}, {3, {0x03, 0x48}, -1}};  // too short; claims three bytes, holds two
    for (const auto& c : cases) {
        // RIM_TYPEHID; at 16 the HID block (report size, report count); at 24 the report.
        uint8_t data[32] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, c.sizeHid, 0, 0, 0, 1};
        std::copy(c.report.begin(), c.report.end(), data + 24);
        uint32_t code = 0;
        bool taken = ParseHidButton(data, 24 + c.report.size(), 16, &code);
        EXPECT_EQ(c.code, taken ? int64_t(code) : -1) << "report size " << int(c.sizeHid);
    }
}
