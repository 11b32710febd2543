// The per-folder thumbnail cache file, read back byte by byte after every operation.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <numeric>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

// A picture whose top-left pixel tells it apart.
void Picture(CxImage& image, uint32_t width, uint32_t height, BYTE mark) {
    ASSERT_TRUE(image.Create(width, height, 24));
    RGBQUAD c = {mark, static_cast<BYTE>(255 - mark), 40, 255};
    image.SetPixelColor(0, 0, c);
}

class CacheFolder : public ::testing::Test {
protected:
    std::string Folder() const { return folder.Path() + "\\"; }
    std::string Media(const std::string& name) { return folder.Write(name, "media " + name); }
    std::string CacheFile() const { return Folder() + kCacheFileName; }
    std::string Bytes() const { return ReadWholeFile(CacheFile()); }
    bool CacheExists() const { return FileExists(CacheFile().c_str()); }

    CacheHeader DiskHeader() const {
        std::string bytes = Bytes();
        return DecodeHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    // The table as written, whether its blocks fit or not.
    std::vector<ThumbRecord> DiskRecords() const {
        std::string bytes = Bytes();
        const uint8_t* at = reinterpret_cast<const uint8_t*>(bytes.data());
        std::vector<ThumbRecord> records;
        for (int32_t i = 0; i < RecordsPresent(DecodeHeader(at, bytes.size()), bytes.size()); ++i) {
            size_t offset = kCacheHeaderSize + i * kThumbRecordSize;
            records.push_back(DecodeRecord(at + offset, bytes.size() - offset));
        }
        return records;
    }
    void Store(ThumbCache& cache, const std::string& path, uint32_t size = 40, BYTE mark = 1) {
        CxImage image;
        Picture(image, size, size > 1 ? size * 3 / 4 : 1, mark);
        ASSERT_TRUE(cache.Add(path, image));
    }
    void Touch(const std::string& path) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME later = GetFileLastWriteTime(path.c_str());
        later.dwHighDateTime += 1;
        SetFileTime(file, nullptr, nullptr, &later);
        CloseHandle(file);
    }
    void Overwrite(size_t offset, const std::string& bytes) {
        std::string all = Bytes();
        all.replace(offset, bytes.size(), bytes);
        SetFileAttributesA(CacheFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        folder.Write(kCacheFileName, all);
    }

    TempFolder folder;
};

std::string Le32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

}  // namespace

TEST_F(CacheFolder, NoCacheFileGivesAnEmptyCacheAndCreatesNone) {
    Media("a.avi");
    ThumbCache cache;
    cache.Open(Folder());
    EXPECT_TRUE(cache.Table().empty());
    EXPECT_FALSE(cache.Dirty());
    CxImage image;
    EXPECT_FALSE(cache.Lookup(Folder() + "a.avi", image));
    cache.Close();
    EXPECT_FALSE(CacheExists());
}

TEST_F(CacheFolder, AddLookupFlushAndTheExactLayout) {
    std::string a = Media("a.avi"), b = Media("b.avi"), c = Media("c.mp3");
    ThumbCache cache;
    cache.Open(Folder());
    Store(cache, a, 40, 10);
    Store(cache, b, 64, 20);
    Store(cache, c, 1, 30);  // a placeholder
    EXPECT_TRUE(cache.Dirty());
    EXPECT_EQ(0, DiskHeader().count);  // the table reaches the disk at the flush
    ASSERT_TRUE(cache.Flush());
    EXPECT_FALSE(cache.Dirty());

    DWORD attributes = GetFileAttributesA(CacheFile().c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    CacheHeader header = DiskHeader();
    EXPECT_EQ(kCacheMagic, header.magic);
    EXPECT_EQ(1u, header.version);
    ASSERT_EQ(3, header.count);
    auto records = DiskRecords();
    ASSERT_EQ(3u, records.size());
    int64_t expected = 12 + 272 * 3;
    for (const ThumbRecord& r : records) {
        EXPECT_EQ(expected, r.offset);  // no gaps, table order
        expected += r.size;
    }
    EXPECT_EQ(static_cast<size_t>(expected), Bytes().size());
    EXPECT_STREQ(a.c_str(), records[0].name);

    ThumbCache fresh;
    fresh.Open(Folder());
    EXPECT_EQ(3u, fresh.Table().size());
    EXPECT_FALSE(fresh.Dirty());
    CxImage image;
    ASSERT_TRUE(fresh.Lookup(b, image));
    EXPECT_EQ(64u, image.GetWidth());
    EXPECT_EQ(20, image.GetPixelColor(0, 0).rgbBlue);
    ASSERT_TRUE(fresh.Lookup(c, image));  // known, without a picture
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(fresh.Lookup(Folder() + "unknown.avi", image));
}

TEST_F(CacheFolder, AddingTheSamePathTwiceKeepsOneBlock) {
    std::string a = Media("a.avi");
    ThumbCache cache;
    cache.Open(Folder());
    Store(cache, a, 40, 1);
    Store(cache, a, 48, 2);
    EXPECT_EQ(1u, cache.Table().size());
    ASSERT_TRUE(cache.Flush());
    auto records = DiskRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(12u + 272 + records[0].size, Bytes().size());
    CxImage image;
    ASSERT_TRUE(cache.Lookup(a, image));
    EXPECT_EQ(48u, image.GetWidth());
}

TEST_F(CacheFolder, NamesDifferingOnlyInCaseAreOneKey) {
    std::string a = Media("Clip.AVI");
    ThumbCache cache;
    cache.Open(Folder());
    Store(cache, a, 40, 7);
    CxImage image;
    std::string lower = Folder() + "clip.avi";
    ASSERT_TRUE(cache.Lookup(lower, image));
    EXPECT_EQ(7, image.GetPixelColor(0, 0).rgbBlue);
    Store(cache, lower, 32, 8);
    EXPECT_EQ(1u, cache.Table().size());
}

TEST_F(CacheFolder, WrongMagicOrVersionIsDeletedOnOpen) {
    Media("a.avi");
    folder.Write(kCacheFileName, Le32(0x12345678) + Le32(1) + Le32(0));
    ThumbCache cache;
    cache.Open(Folder());
    EXPECT_FALSE(CacheExists());
    cache.Close();

    folder.Write(kCacheFileName, Le32(kCacheMagic) + Le32(2) + Le32(0));
    cache.Open(Folder());
    EXPECT_FALSE(CacheExists());
    EXPECT_TRUE(cache.Table().empty());
    EXPECT_FALSE(cache.Dirty());
}

TEST_F(CacheFolder, FileShorterThanItsHeaderIsAnEmptyCacheThatTakesAdditions) {
    std::string a = Media("a.avi");
    for (std::string shortFile : {std::string(), Le32(kCacheMagic) + std::string("\x01\x00", 2)}) {
        SCOPED_TRACE(shortFile.size());
        folder.Write(kCacheFileName, shortFile);
        ThumbCache cache;
        cache.Open(Folder());
        EXPECT_TRUE(cache.Table().empty());
        EXPECT_FALSE(cache.Dirty());
        cache.Flush();
        EXPECT_EQ(shortFile, Bytes());  // left alone

        Store(cache, a, 40, 9);
        cache.Close();
        ASSERT_EQ(1, DiskHeader().count);
        ThumbCache again;
        again.Open(Folder());
        CxImage image;
        ASSERT_TRUE(again.Lookup(a, image));
        EXPECT_EQ(9, image.GetPixelColor(0, 0).rgbBlue);
    }
}

TEST_F(CacheFolder, RecordOfAFileWhoseTimeCannotBeReadIsKept) {
    std::string a = Media("a.avi");
    // Held exclusively elsewhere: its time cannot be read, when storing nor when checking.
    HANDLE held = CreateFileA(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a, 1);
    }
    ThumbCache cache;
    cache.Open(Folder());
    CloseHandle(held);
    EXPECT_EQ(1u, cache.Table().size());
    EXPECT_FALSE(cache.Dirty());
}

TEST_F(CacheFolder, HeaderClaimingMoreRecordsKeepsWhatIsThere) {
    std::string a = Media("a.avi"), b = Media("b.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
        Store(cache, b);
    }
    Overwrite(8, Le32(5));
    ThumbCache cache;
    cache.Open(Folder());
    EXPECT_EQ(2u, cache.Table().size());
    EXPECT_TRUE(cache.Dirty());
    ASSERT_TRUE(cache.Flush());
    EXPECT_EQ(2, DiskHeader().count);

    Overwrite(8, Le32(0x7FFFFFFF));  // a count no file could hold
    ThumbCache again;
    again.Open(Folder());
    EXPECT_EQ(2u, again.Table().size());
}

TEST_F(CacheFolder, TouchedFileIsDroppedAndTheFileShrinks) {
    std::string a = Media("a.avi"), b = Media("b.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
        Store(cache, b);
    }
    size_t before = Bytes().size();
    Touch(a);
    ThumbCache cache;
    cache.Open(Folder());
    ASSERT_EQ(1u, cache.Table().size());
    EXPECT_STREQ(b.c_str(), cache.Table()[0].name);
    EXPECT_TRUE(cache.Dirty());
    cache.Close();
    EXPECT_LT(Bytes().size(), before);
    EXPECT_EQ(1, DiskHeader().count);
}

TEST_F(CacheFolder, RenamedFolderDropsEverythingAndTheFlushDeletesTheFile) {
    std::string a = Media("a.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
    }
    std::string renamed = folder.Path() + "-renamed";
    ASSERT_TRUE(MoveFileA(folder.Path().c_str(), renamed.c_str()));
    ThumbCache cache;
    cache.Open(renamed + "\\");
    EXPECT_TRUE(cache.Table().empty());
    EXPECT_TRUE(cache.Dirty());
    EXPECT_TRUE(FileExists((renamed + "\\" + kCacheFileName).c_str()));
    cache.Flush();
    EXPECT_FALSE(FileExists((renamed + "\\" + kCacheFileName).c_str()));
    cache.Close();
    MoveFileA(renamed.c_str(), folder.Path().c_str());
}

TEST_F(CacheFolder, OpeningTheOpenFolderKeepsTheTableAndDoesNotFlush) {
    std::string a = Media("a.avi");
    ThumbCache cache;
    cache.Open(Folder());
    Store(cache, a);
    std::string upper = Folder();
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    cache.Open(upper);
    EXPECT_TRUE(cache.Dirty());
    EXPECT_EQ(1u, cache.Table().size());
    EXPECT_EQ(0, DiskHeader().count);  // nothing written yet
}

TEST_F(CacheFolder, CacheHeldByAnotherHandleIsAbsent) {
    std::string a = Media("a.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
    }
    HANDLE held = CreateFileA(CacheFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ThumbCache cache;
    cache.Open(Folder());
    EXPECT_TRUE(cache.Table().empty());
    CxImage image;
    EXPECT_FALSE(cache.Lookup(a, image));
    Picture(image, 16, 16, 1);
    EXPECT_FALSE(cache.Add(a, image));
    CloseHandle(held);
    EXPECT_TRUE(CacheExists());  // untouched
}

TEST_F(CacheFolder, PathsTooLongOrWithoutFolderAreNotCached) {
    ThumbCache cache;
    cache.Open(Folder());
    CxImage image;
    Picture(image, 16, 16, 1);
    std::string longPath = Folder() + std::string(260 - Folder().size(), 'x') + ".avi";
    EXPECT_FALSE(cache.Add(longPath, image));
    EXPECT_FALSE(cache.Add("bare.avi", image));
    EXPECT_FALSE(cache.Lookup("bare.avi", image));
    EXPECT_FALSE(CacheExists());

    ThumbCache deep;
    deep.Open(std::string(300, 'd') + "\\");
    EXPECT_TRUE(deep.Folder().empty());
}

TEST_F(CacheFolder, RecordsWhoseBlocksLieOutsideTheFileAreDropped) {
    std::string a = Media("a.avi"), b = Media("b.avi"), c = Media("c.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
        Store(cache, b);
        Store(cache, c);
    }
    size_t size = Bytes().size();
    Overwrite(12 + 0 * 272, Le32(static_cast<uint32_t>(size)));      // a: starts at the end
    Overwrite(12 + 1 * 272 + 4, Le32(0x7FFFFFF0));                   // b: an absurd size
    ThumbCache cache;
    cache.Open(Folder());
    ASSERT_EQ(1u, cache.Table().size());
    EXPECT_STREQ(c.c_str(), cache.Table()[0].name);
    ASSERT_TRUE(cache.Flush());
    CxImage image;
    EXPECT_TRUE(cache.Lookup(c, image));
    EXPECT_FALSE(cache.Lookup(a, image));
}

TEST_F(CacheFolder, UndecodableBlockIsPassedOver) {
    std::string a = Media("a.avi");
    {
        ThumbCache cache;
        cache.Open(Folder());
        Store(cache, a);
    }
    Overwrite(12 + 272 + 20, "garbage!");
    ThumbCache cache;
    cache.Open(Folder());
    ASSERT_EQ(1u, cache.Table().size());
    CxImage image;
    EXPECT_FALSE(cache.Lookup(a, image));
}
