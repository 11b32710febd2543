// The per-folder thumbnail cache file, read back byte by byte after every operation.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/utime.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kCacheName[] = "$$KesTHM$$.cache", kTemporaryName[] = "$$KesTHM$$.New.cache";

using Records = std::vector<std::pair<std::string, std::string>>;  // names and their blocks

std::string Le32(size_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string Upper(std::string text) {
    CharUpperA(&text[0]);
    return text;
}
std::string Header(size_t count) { return Le32(0x94439412) + Le32(1) + Le32(count); }
// A record as the file holds it, with the media file's current last-write time.
std::string Record(size_t offset, size_t size, const std::string& name) {
    FILETIME time = GetFileLastWriteTime(name.c_str());
    return Le32(offset) + Le32(size) + name + std::string(256 - name.size(), '\0') + Le32(time.dwLowDateTime) +
           Le32(time.dwHighDateTime);
}
// A cache file of these records, their blocks following the table in its order, without gaps.
std::string CacheBytes(const Records& records) {
    std::string table, blocks;
    for (const auto& [name, block] : records) {
        table += Record(12 + 272 * records.size() + blocks.size(), block.size(), name);
        blocks += block;
    }
    return Header(records.size()) + table + blocks;
}
// A picture of width x 3/4 width (1 x 1 for a placeholder) whose top-left pixel tells it apart.
void Picture(CxImage& image, uint32_t width, BYTE mark) {
    ASSERT_TRUE(image.Create(width, width > 1 ? width * 3 / 4 : 1, 24));
    image.SetPixelColor(0, 0, RGBQUAD{mark, static_cast<BYTE>(255 - mark), 40, 255});
}
std::string Png(uint32_t width, BYTE mark) {
    CxImage image;
    Picture(image, width, mark);
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    image.Encode(bytes, size, CXIMAGE_FORMAT_PNG);
    std::string png(reinterpret_cast<char*>(bytes), size);
    CxImage::FreeMemory(bytes);
    return png;
}

// The folder's cache, opened anew with `Reopen`.
class CacheFolder : public ::testing::Test {
protected:
    std::string Folder() const { return folder.Path() + "\\"; }
    std::string Media(const std::string& name) { return folder.Write(name, "media " + name); }
    std::string CacheFile() const { return Folder() + kCacheName; }
    std::string Bytes() const { return ReadWholeFile(CacheFile()); }
    bool CacheExists() const { return FileExists(CacheFile().c_str()); }
    void Reopen() {
        cache.Close();
        cache.Open(Folder());
    }
    void Store(const std::string& path, uint32_t width = 40, BYTE mark = 1) {
        CxImage image;
        Picture(image, width, mark);
        EXPECT_TRUE(cache.Add(path, image)) << path;
    }
    // What a lookup gives: "none", "placeholder", or the picture's size and mark.
    std::string Found(const std::string& path) {
        CxImage image;
        if (!cache.Lookup(path, image)) return "none";
        if (!image.IsValid()) return "placeholder";
        return std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight()) + " mark " +
               std::to_string(image.GetPixelColor(0, 0).rgbBlue);
    }
    void Rewrite(const std::string& bytes) {
        SetFileAttributesA(CacheFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        folder.Write(kCacheName, bytes);
    }
    void Overwrite(size_t offset, const std::string& bytes) { Rewrite(Bytes().replace(offset, bytes.size(), bytes)); }
    // `bytes` written at `at`, and the file made `size` bytes long: the gaps are holes.
    void Place(int64_t at, const std::string& bytes, int64_t size) {
        HANDLE file = CreateFileA(CacheFile().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER where = {}, end = {};
        where.QuadPart = at, end.QuadPart = size;
        DWORD written = 0;
        EXPECT_TRUE(SetFilePointerEx(file, where, nullptr, FILE_BEGIN) &&
                    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    // Exactly these records in a compacted, hidden file; no file for none.
    void ExpectCompacted(const Records& records) const {
        EXPECT_EQ(records.empty() ? "" : CacheBytes(records), Bytes());
        DWORD attributes = GetFileAttributesA(CacheFile().c_str());
        EXPECT_TRUE(records.empty() ? !CacheExists() : (attributes & FILE_ATTRIBUTE_HIDDEN) != 0);
    }

    TempFolder folder;
    ThumbCache cache;  // closed before the folder goes
};

}  // namespace

// Add, lookup and flush write the exact layout. A second cache on the folder, as of another player,
// only reads while the first holds the file; neither loses what it flushed.
TEST_F(CacheFolder, AddLookupAndFlushWriteTheExactLayoutAndASecondCacheOnlyReads) {
    std::string a = Media("Clip.avi"), b = Media("b.avi"), c = Media("c.mp3"), d = Media("d.avi");
    ThumbCache other;
    CxImage image, found;
    Picture(image, 40, 2);
    Reopen();  // no cache file: an empty cache, and none is made
    other.Open(Folder());
    EXPECT_EQ("none", Found(a));
    EXPECT_TRUE(cache.Flush() && !CacheExists());
    Store(a, 40, 10);
    EXPECT_FALSE(other.Add(b, image));
    Store(c, 1, 30);                              // a placeholder
    EXPECT_EQ("40x30 mark 10", Found(Upper(a)));  // names differing in letter case are one key
    Store(Upper(a), 48, 11);                      // replaces a's record, now the last
    cache.Open(Upper(Folder()));                  // the open folder: neither re-read nor flushed
    EXPECT_EQ(Header(0), Bytes().substr(0, 12));  // the table reaches the disk at the flush
    ASSERT_TRUE(cache.Flush());
    Records flushed = {{c, Png(1, 30)}, {Upper(a), Png(48, 11)}};  // one block for a
    ExpectCompacted(flushed);
    EXPECT_TRUE(other.Lookup(a, found) && found.GetWidth() == 48) << "the table read again after the flush";
    // A reader holds the file, sharing everything: the replace is refused (as Wine and Windows before
    // POSIX semantics refuse to replace an open file), the old file stays whole and the next flush
    // tries again.
    Store(b, 64, 20);
    std::string before = Bytes();
    HANDLE reader = CreateFileA(CacheFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(cache.Flush());
    CloseHandle(reader);
    other.Close();
    EXPECT_EQ(before, Bytes());
    cache.Close();
    flushed.emplace_back(b, Png(64, 20));
    ExpectCompacted(flushed);
    // Now the other writes first, and keeps what the first flushed.
    other.Open(Folder());
    Reopen();
    EXPECT_TRUE(other.Add(d, image) && !cache.Add(d, image));
    EXPECT_EQ("48x36 mark 11", Found(a));
    EXPECT_EQ("placeholder", Found(c));
    EXPECT_EQ("none", Found(Folder() + "unknown.avi"));
    other.Close();
    flushed.emplace_back(d, Png(40, 2));
    ExpectCompacted(flushed);
}

TEST_F(CacheFolder, OpenKeepsTheLastRecordOfEachUnchangedFileWithAWholeBlock) {
    std::string a = Media("a.avi"), b = Media("b.avi"), c = Media("c.avi"), d = Media("d.avi");
    // A damage done to a file of a, b and c's records; the names kept; whether the open dropped records, so
    // that the flush compacts the file, and whether the file stays; holdA: a is held by another program.
    const struct {
        const char* what; std::function<void()> damage; std::vector<std::string> kept;
        bool dropped, fileStays, holdA = false;
    } cases[] = {
        {"nothing changed", [] {}, {a, b, c}, false, true},
        {"a's time cannot be read, then or now", [] {}, {a, b, c}, false, true, true},
        {"wrong magic: deleted", [&] { Overwrite(0, Le32(0x12345678)); }, {}, false, false},
        {"version 2: deleted", [&] { Overwrite(4, Le32(2)); }, {}, false, false},
        {"an empty file: left alone", [&] { Rewrite(""); }, {}, false, true},
        {"shorter than a header", [&] { Rewrite(Le32(0x94439412) + std::string("\x01\x00", 2)); }, {}, false, true},
        {"more records claimed than held", [&] { Overwrite(8, Le32(5)); }, {a, b, c}, true, true},
        {"2^31 - 1 records claimed in 1.5 GB, mostly a hole; d's record past the 4,096 the folder lets be read",
         [&] { Overwrite(8, Le32(0x7FFFFFFF)); Place(12 + 5000 * 272, Record(12 + 3 * 272, 10, d), 3ll << 29); },
         {a, b, c}, true, true},
        {"two records of a: the last", [&] { Rewrite(CacheBytes({{a, "cut"}, {b, Png(40, 1)}, {Upper(a), Png(40, 1)},
                                                                   {c, Png(40, 1)}})); }, {Upper(a), b, c}, true, true},
        {"a touched file", [&] { _utimbuf then = {0, 1000000000}; _utime(a.c_str(), &then); }, {b, c}, true, true},
        {"a deleted file", [&] { DeleteFileA(b.c_str()); }, {a, c}, true, true},
        {"a block starting at the end", [&] { Overwrite(12, Le32(Bytes().size())); }, {b, c}, true, true},
        {"a block of absurd size", [&] { Overwrite(12 + 272 + 4, Le32(0x7FFFFFF0)); }, {a, c}, true, true},
        {"names of another folder, as after renaming it", [&] {
             for (size_t at = 12 + 8; at < 12 + 3 * 272; at += 272) Overwrite(at, std::string("D:\\Old\\a.avi\0", 13));
         }, {}, true, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        for (const char* name : {"a.avi", "b.avi", "c.avi"}) Media(name);
        HANDLE held = k.holdA ? CreateFileA(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        Rewrite(CacheBytes({{a, Png(40, 1)}, {b, Png(40, 1)}, {c, Png(40, 1)}}));
        k.damage();
        Reopen();
        EXPECT_EQ(k.fileStays, CacheExists());
        EXPECT_LE(cache.Table().capacity(), 5u) << "more room than the folder's five files need";
        // Nothing dropped: not rewritten; else compacted at the flush, and an emptied cache goes.
        std::string opened = k.dropped ? "" : Bytes();
        cache.Flush();
        EXPECT_TRUE(k.dropped || opened == Bytes()) << "rewritten, though nothing was dropped";
        Records kept;
        for (const std::string& name : k.kept) kept.emplace_back(name, Png(40, 1));
        if (k.dropped) ExpectCompacted(kept);
        // Either way the kept records and an addition make the next file.
        Store(d, 16, 9);
        cache.Close();
        kept.emplace_back(d, Png(16, 9));
        ExpectCompacted(kept);
        if (held) CloseHandle(held);
    }
}

TEST_F(CacheFolder, NoWriteGoesThroughALinkToAnotherFile) {
    std::string a = Media("a.avi"), other = folder.Write("other.dat", Header(0));  // reads as an empty cache
    for (const char* name : {kTemporaryName, kCacheName}) {
        SCOPED_TRACE(name);
        bool cacheLinked = name == std::string(kCacheName);
        cache.Close();
        DeleteFileA(CacheFile().c_str());
        ASSERT_TRUE(CreateHardLinkA((Folder() + name).c_str(), other.c_str(), nullptr));
        Reopen();
        CxImage image;
        Picture(image, 40, 1);
        EXPECT_NE(cacheLinked, cache.Add(a, image));
        cache.Close();
        EXPECT_EQ(Header(0), ReadWholeFile(other));
        EXPECT_EQ(cacheLinked ? Header(0) : CacheBytes({{a, Png(40, 1)}}), Bytes());
    }
}
