// The remotes' codes as arithmetic: report parsing and the three button tables.
#include "input/RemoteCodes.h"

#include <gtest/gtest.h>

#include <vector>

#include "navigator/Commands.h"
#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "thumbs/ContainerSniff.h"

namespace {

// A raw report as GetRawInputData lays it out, with a header of `header` bytes.
std::vector<uint8_t> Report(uint32_t type, uint32_t sizeHid, std::vector<uint8_t> bytes, size_t header = 16) {
    std::vector<uint8_t> data(header + 8, 0);
    data[0] = static_cast<uint8_t>(type);
    data[header] = static_cast<uint8_t>(sizeHid);
    data[header + 4] = 1;
    data.insert(data.end(), bytes.begin(), bytes.end());
    return data;
}

}  // namespace

TEST(HidReport, ButtonCodeFromOneOrTwoBytes) {
    uint32_t code = 0;
    auto two = Report(2, 2, {0x03, 0x48});
    ASSERT_TRUE(ParseHidButton(two.data(), two.size(), 16, &code));
    EXPECT_EQ(0x48u, code);
    EXPECT_EQ(CMD_FILE_MODE, MapRawButton(code, true));
    EXPECT_EQ(CMD_FILE_MODE, MapRawButton(code, false));

    auto three = Report(2, 3, {0x03, 0x48, 0x01}, 24);
    ASSERT_TRUE(ParseHidButton(three.data(), three.size(), 24, &code));
    EXPECT_EQ(0x148u, code);
    EXPECT_EQ(CMD_NONE, MapRawButton(code, true));
}

TEST(HidReport, ShortOtherOrTruncatedReportsAreDropped) {
    uint32_t code = 0;
    auto one = Report(2, 1, {0x03});
    EXPECT_FALSE(ParseHidButton(one.data(), one.size(), 16, &code));
    auto keyboard = Report(1, 2, {0x03, 0x48});
    EXPECT_FALSE(ParseHidButton(keyboard.data(), keyboard.size(), 16, &code));
    auto mouse = Report(0, 2, {0x03, 0x48});
    EXPECT_FALSE(ParseHidButton(mouse.data(), mouse.size(), 16, &code));
    auto cut = Report(2, 3, {0x03, 0x48});  // claims three bytes, holds two
    EXPECT_FALSE(ParseHidButton(cut.data(), cut.size(), 16, &code));
    EXPECT_FALSE(ParseHidButton(cut.data(), 10, 16, &code));
}

TEST(RemoteTables, RawCodes) {
    const struct { uint32_t code; int shown, hidden; } table[] = {
        {0x0F, CMD_FILE_MODE, CMD_FILE_MODE},   {0x14, CMD_NAVIGATOR, CMD_NAVIGATOR},
        {0x1B, CMD_SORT, CMD_SORT},             {0x24, CMD_DISC_MODE, CMD_DISC_MODE},
        {0x25, CMD_REFRESH, CMD_SUBTITLE},      {0x27, CMD_HOST_5205, CMD_HOST_5205},
        {0x4B, CMD_HOST_7032, CMD_HOST_7032},   {0x4C, CMD_AUDIO, CMD_AUDIO},
        {0x4D, CMD_SUBTITLE, CMD_SUBTITLE},     {0x8D, CMD_NAVIGATOR, CMD_NAVIGATOR},
        {0x209, CMD_SORT, CMD_AUDIO},           {0x26, CMD_NONE, CMD_NONE},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.shown, MapRawButton(row.code, true)) << row.code;
        EXPECT_EQ(row.hidden, MapRawButton(row.code, false)) << row.code;
    }
}

TEST(RemoteTables, ApplicationCommands) {
    EXPECT_EQ(CMD_REFRESH, MapAppCommandValue(1));
    EXPECT_EQ(CMD_DELETE, MapAppCommandValue(8));
    EXPECT_EQ(CMD_NONE, MapAppCommandValue(10));  // volume up: consumed, nothing done
    EXPECT_EQ(CMD_ESCAPE, MapAppCommandValue(13));
    EXPECT_EQ(CMD_OK, MapAppCommandValue(46));
    EXPECT_EQ(CMD_NEXT_LIST, MapAppCommandValue(51));
    EXPECT_EQ(CMD_PREV_LIST, MapAppCommandValue(52));
    EXPECT_EQ(-1, MapAppCommandValue(2));
    EXPECT_EQ(-1, MapAppCommandValue(45));
}

TEST(RemoteTables, StreamzapCodes) {
    EXPECT_EQ(CMD_ESCAPE, MapStreamzapButton(8, true));
    EXPECT_EQ(CMD_HOST_5102, MapStreamzapButton(8, false));
    EXPECT_EQ(-1, MapStreamzapButton(9, true));
    EXPECT_EQ(5, StreamzapDigit(MapStreamzapButton(25, true)));
    EXPECT_EQ(0, StreamzapDigit(MapStreamzapButton(30, false)));
    EXPECT_EQ(-1, StreamzapDigit(MapStreamzapButton(19, true)));
    EXPECT_EQ(CMD_NAVIGATOR, MapStreamzapButton(19, false));
    EXPECT_EQ(CMD_SORT, MapStreamzapButton(31, true));
    EXPECT_EQ(CMD_AUDIO, MapStreamzapButton(31, false));
    EXPECT_EQ(CMD_DISC_MODE, MapStreamzapButton(34, true));
    EXPECT_EQ(-1, MapStreamzapButton(35, true));
    EXPECT_EQ(-1, MapStreamzapButton(0xFFFFFFFF, true));
}

TEST(RemoteTables, HotKeyModifiers) {
    EXPECT_EQ(2u | 4u, HotKeyModifiers(0x00030041));  // Control and Shift
    EXPECT_EQ(1u, HotKeyModifiers(0x00040070));       // Alt
    EXPECT_EQ(0u, HotKeyModifiers(0x00000070));
}

// Every input of the input fuzzer's corpus and regressions through the same readers under Wine.
TEST(RemoteCodes, TheFuzzCorpusReplays) {
    std::vector<std::string> inputs;
    for (const char* folder : {"input_corpus", "input_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + folder, "*", inputs, false, false);
    ASSERT_FALSE(inputs.empty());
    for (const std::string& input : inputs) {
        std::string bytes = ReadWholeFile(input);
        if (bytes.empty()) continue;
        auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        uint32_t code = 0;
        if (ParseHidButton(data + 1, bytes.size() - 1, data[0], &code)) MapRawButton(code, true);
        uint64_t riffSize = 0;
        SniffContainerBytes(data + 1, bytes.size() - 1, &riffSize);
    }
}
