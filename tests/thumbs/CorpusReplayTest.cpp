// Every input the native fuzzers were seeded with or ever tripped over, replayed through the real
// code they stand in front of: the cache's through ThumbCache and the image layer in a real folder,
// the image fuzzer's through the system's decoders, the media-format fuzzer's through DibToBitmap.
// No crash, no hang, and only what the checks let through is decoded, at the size they read.
// The cache inputs name media files under "C:\\Media\\" with one recorded time; the replay moves
// those names into its own folder and gives its files that time, so that lookups read the blocks.
#include "thumbs/ThumbCache.h"

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

const char kInputFolder[] = "C:\\Media\\";
const char* const kMedia[] = {"a.avi", "b.avi", "c.mp3", "d.avi"};

// The input with the names in its table (the header's count of 272-byte records after its 12 bytes,
// each name 256 bytes at 8 into its record) moved from the input's folder to `folder`, where they fit.
std::string MoveNames(std::string bytes, const std::string& folder) {
    int32_t count = 0;
    if (bytes.size() >= 12) memcpy(&count, &bytes[8], 4);  // little-endian, as this machine
    for (size_t at = 12 + 8; at < 12 + 272 * size_t(std::max(count, 0)) && at + 256 <= bytes.size(); at += 272) {
        std::string name = bytes.substr(at, 256).c_str();
        if (name.compare(0, strlen(kInputFolder), kInputFolder) != 0) continue;
        name = folder + name.substr(strlen(kInputFolder));
        if (name.size() < 256) bytes.replace(at, 256, name + std::string(256 - name.size(), '\0'));
    }
    return bytes;
}

// The inputs of one fuzzer, seeds and regressions.
std::vector<std::string> Inputs(const char* fuzzer) {
    std::vector<std::string> inputs;
    for (const char* kind : {"_corpus", "_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + fuzzer + kind, "*", inputs, false, false);
    return inputs;
}

}  // namespace

TEST(CacheCorpus, EveryInputOpensLooksUpAddsAndFlushesCleanly) {
    std::vector<std::string> inputs = Inputs("cache");
    ASSERT_GE(inputs.size(), 6u);
    int pictures = 0;
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        // The file itself, as the cache of a folder holding the media files it names.
        TempFolder folder;
        std::string prefix = folder.Path() + "\\";
        std::vector<std::string> media;
        for (const char* name : kMedia) {
            media.push_back(folder.Write(name, "media"));
            HANDLE file = CreateFileA(media.back().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            FILETIME recorded = {0x89ABCDEF, 0x01D9ABCD};
            SetFileTime(file, nullptr, nullptr, &recorded);
            CloseHandle(file);
        }
        folder.Write(kCacheFileName, MoveNames(ReadWholeFile(input), prefix));
        ThumbCache cache;
        cache.Open(prefix);
        CxImage image;
        for (const std::string& file : media) pictures += cache.Lookup(file, image) && image.IsValid();
        ASSERT_TRUE(image.Create(12, 10, 24));
        EXPECT_TRUE(cache.Add(media.back(), image) && cache.Flush());
        size_t kept = cache.Table().size();
        cache.Close();
        cache.Open(prefix);  // read back
        EXPECT_EQ(kept, cache.Table().size());
        EXPECT_TRUE(cache.Lookup(media.back(), image) && image.GetWidth() == 12);
    }
    EXPECT_GE(pictures, 3);  // the seeds' pictures were read and decoded, not dropped at the open
}

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
