// Every input the image and media-format fuzzers were seeded with or ever tripped over, replayed
// through the real code they stand in front of: the system's decoders and DibToBitmap. No crash,
// no hang, and only what the checks let through is decoded, at the size they read. (The cache's
// inputs run through the same ThumbCache in the cache fuzzer.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/Files.h"
#include "base/Gdi.h"
#include "tests/support/TempFolder.h"
#include "thumbs/MediaFormat.h"
#include "thumbs/MediaProbe.h"
#include "ximage/CxImage.h"

namespace {

// The inputs of one fuzzer, seeds and regressions.
std::vector<std::string> Inputs(const char* fuzzer) {
    std::vector<std::string> inputs;
    for (const char* kind : {"_corpus", "_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + fuzzer + kind, "*", inputs, false, false);
    return inputs;
}

}  // namespace

// A picture is decoded, and a frame's bitmap made, only of what the checks let through, at their size.
TEST(ImageAndDshowCorpus, OnlyWhatTheChecksAcceptIsDecodedAtTheSizeTheyRead) {
    int pictures = 0, frames = 0;
    for (const std::string& input : Inputs("image")) {
        std::string bytes = ReadWholeFile(input);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        ImageHeader header;
        bool accepted = DecodableImage(data, bytes.size(), &header);
        CxImage image;
        bool read = image.Decode(data, static_cast<uint32_t>(bytes.size()), CXIMAGE_FORMAT_UNKNOWN);
        EXPECT_TRUE(!read || (accepted && image.GetWidth() == header.width && image.GetHeight() == header.height))
            << input;
        pictures += read;
    }
    for (const std::string& input : Inputs("dshow")) {
        std::string bytes = ReadWholeFile(input);
        DibShape shape;
        bool whole = CheckPackedDib(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &shape);
        OwnedBitmap bitmap(DibToBitmap(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
        BITMAP info = {};
        EXPECT_EQ(whole, bitmap && GetObjectA(bitmap, sizeof(info), &info) && info.bmWidth == shape.width &&
                             info.bmHeight == shape.height) << input;
        frames += whole;
    }
    EXPECT_TRUE(pictures >= 5 && frames >= 2) << "the seeds' pictures of PNG, JPEG and BMP, and whole frames";
}
