// Every input the cache fuzzer was seeded with or ever tripped over, replayed through the real
// ThumbCache and the image module in a real folder: no crash, no hang, and a file that reads back
// sanely. The inputs name media files under "C:\\Media\\" with one recorded time; the replay moves
// those names into its own folder and gives its files that time, so that lookups read the blocks.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

const char kInputFolder[] = "C:\\Media\\";
const char* const kMedia[] = {"a.avi", "b.avi", "c.mp3", "d.avi"};

std::vector<std::string> Inputs() {
    std::vector<std::string> inputs;
    for (const char* folder : {"cache_corpus", "cache_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + folder, "*", inputs, false, false);
    return inputs;
}

// The input with the names of its table moved from the input's folder to `folder`.
std::string MoveNames(std::string bytes, const std::string& folder) {
    uint8_t* at = reinterpret_cast<uint8_t*>(&bytes[0]);
    int32_t present = RecordsPresent(DecodeHeader(at, bytes.size()), bytes.size());
    for (int32_t i = 0; i < present; ++i) {
        size_t offset = kCacheHeaderSize + i * kThumbRecordSize;
        if (offset + kThumbRecordSize > bytes.size()) break;
        ThumbRecord record = DecodeRecord(at + offset, bytes.size() - offset);
        std::string name = record.name;
        if (name.compare(0, strlen(kInputFolder), kInputFolder) != 0) continue;
        name = folder + name.substr(strlen(kInputFolder));
        if (name.size() >= kThumbNameSize) continue;
        memset(record.name, 0, kThumbNameSize);
        memcpy(record.name, name.c_str(), name.size());
        EncodeRecord(record, at + offset);
    }
    return bytes;
}

}  // namespace

TEST(CacheCorpus, EveryInputOpensLooksUpAddsAndFlushesCleanly) {
    std::vector<std::string> inputs = Inputs();
    ASSERT_GE(inputs.size(), 6u);
    int pictures = 0;
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        std::string bytes = ReadWholeFile(input);

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
        folder.Write(kCacheFileName, MoveNames(bytes, prefix));
        ThumbCache cache;
        cache.Open(prefix);
        CxImage image;
        for (const std::string& file : media) pictures += cache.Lookup(file, image) && image.IsValid();
        ASSERT_TRUE(image.Create(12, 10, 24));
        EXPECT_TRUE(cache.Add(media.back(), image));
        EXPECT_TRUE(cache.Flush());
        size_t kept = cache.Table().size();
        cache.Close();

        ThumbCache again;
        again.Open(prefix);
        EXPECT_EQ(kept, again.Table().size());
        EXPECT_TRUE(again.Lookup(media.back(), image));
        EXPECT_EQ(12u, image.GetWidth());
    }
    // The seeds' pictures were read and decoded, not dropped at the open.
    EXPECT_GE(pictures, 3);
}
