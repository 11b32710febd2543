// Every input the cache fuzzer was seeded with or ever tripped over, replayed through the real
// ThumbCache and the image module: no crash, no hang, and a file that reads back sanely.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

std::vector<std::string> Inputs() {
    std::vector<std::string> inputs;
    for (const char* folder : {"cache_corpus", "cache_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + folder, "*", inputs, false, false);
    return inputs;
}

}  // namespace

TEST(CacheCorpus, EveryInputOpensLooksUpAddsAndFlushesCleanly) {
    std::vector<std::string> inputs = Inputs();
    ASSERT_GE(inputs.size(), 6u);
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        std::string bytes = ReadWholeFile(input);

        // The blocks the format accepts go through the real decoder.
        CacheHeader header;
        std::vector<ThumbRecord> records;
        ParseCacheImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &header, &records);
        for (const ThumbRecord& record : records) {
            CxImage image;
            image.Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + record.offset,
                         static_cast<uint32_t>(record.size), CXIMAGE_FORMAT_PNG);
        }

        // The file itself, as a folder's cache with a media file beside it.
        TempFolder folder;
        std::string media = folder.Write("a.avi", "media");
        folder.Write(kCacheFileName, bytes);
        ThumbCache cache;
        cache.Open(folder.Path() + "\\");
        CxImage image;
        for (const ThumbRecord& record : records) cache.Lookup(record.name, image);
        cache.Lookup(media, image);
        ASSERT_TRUE(image.Create(12, 10, 24));
        EXPECT_TRUE(cache.Add(media, image));
        EXPECT_TRUE(cache.Flush());
        cache.Close();

        ThumbCache again;
        again.Open(folder.Path() + "\\");
        ASSERT_EQ(1u, again.Table().size());
        EXPECT_TRUE(again.Lookup(media, image));
        EXPECT_EQ(12u, image.GetWidth());
    }
}
