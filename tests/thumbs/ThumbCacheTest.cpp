// The per-folder thumbnail cache file, read back byte by byte after every operation.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/utime.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kCacheName[] = "$$KesTHM$$.cache", kTemporaryName[] = "$$KesTHM$$.New.cache";

std::string Le32(size_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
uint32_t Le32At(const std::string& bytes, size_t at) {  // this machine is little-endian too
    uint32_t v = 0;
    return at + 4 <= bytes.size() ? (memcpy(&v, &bytes[at], 4), v) : 0;
}
std::string Upper(std::string text) {
    for (char& ch : text) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    return text;
}
std::string Header(size_t count) { return Le32(0x94439412) + Le32(1) + Le32(count); }
// A record as the file holds it, with the media file's current last-write time.
std::string Record(size_t offset, size_t size, const std::string& name) {
    FILETIME time = GetFileLastWriteTime(name.c_str());
    return Le32(offset) + Le32(size) + name + std::string(256 - name.size(), '\0') + Le32(time.dwLowDateTime) +
           Le32(time.dwHighDateTime);
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
// What a lookup gives: "none", "placeholder", or the picture's size and mark.
std::string Found(ThumbCache& cache, const std::string& path) {
    CxImage image;
    if (!cache.Lookup(path, image)) return "none";
    if (!image.IsValid()) return "placeholder";
    return std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight()) + " mark " +
           std::to_string(image.GetPixelColor(0, 0).rgbBlue);
}

class CacheFolder : public ::testing::Test {
protected:
    std::string Folder() const { return folder.Path() + "\\"; }
    std::string Media(const std::string& name) { return folder.Write(name, "media " + name); }
    std::string CacheFile() const { return Folder() + kCacheName; }
    std::string Bytes() const { return ReadWholeFile(CacheFile()); }
    bool CacheExists() const { return FileExists(CacheFile().c_str()); }
    std::unique_ptr<ThumbCache> OpenCache(const std::string& at = std::string()) {
        auto cache = std::make_unique<ThumbCache>();
        cache->Open(at.empty() ? Folder() : at);
        return cache;
    }
    void Store(ThumbCache& cache, const std::string& path, uint32_t width = 40, BYTE mark = 1) {
        CxImage image;
        Picture(image, width, mark);
        EXPECT_TRUE(cache.Add(path, image)) << path;
    }
    // A cache file holding pictures of `paths`, written and closed.
    void Seed(const std::vector<std::string>& paths) {
        auto cache = OpenCache();
        for (const std::string& path : paths) Store(*cache, path);
    }
    void Rewrite(const std::string& bytes) {
        SetFileAttributesA(CacheFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        folder.Write(kCacheName, bytes);
    }
    void Overwrite(size_t offset, const std::string& bytes) { Rewrite(Bytes().replace(offset, bytes.size(), bytes)); }
    // A compacted, hidden file: header, the records of `names` in order, then their blocks without gaps.
    void ExpectCompacted(const std::vector<std::string>& names) const {
        std::string bytes = Bytes();
        EXPECT_TRUE(GetFileAttributesA(CacheFile().c_str()) & FILE_ATTRIBUTE_HIDDEN);
        ASSERT_GE(bytes.size(), 12 + 272 * names.size());
        EXPECT_EQ(Header(names.size()), bytes.substr(0, 12));
        size_t end = 12 + 272 * names.size();
        for (size_t i = 0; i < names.size(); ++i) {
            size_t size = Le32At(bytes, 12 + 272 * i + 4);
            EXPECT_EQ(Record(end, size, names[i]), bytes.substr(12 + 272 * i, 272)) << names[i];
            end += size;
        }
        EXPECT_EQ(end, bytes.size());
    }

    TempFolder folder;
};

}  // namespace

TEST_F(CacheFolder, AddLookupAndFlushWriteTheExactLayout) {
    std::string a = Media("Clip.avi"), b = Media("b.avi"), c = Media("c.mp3");
    auto cache = OpenCache();  // no cache file: an empty cache, and none is made
    EXPECT_TRUE(cache->Table().empty() && !cache->Dirty());
    EXPECT_EQ("none", Found(*cache, a));
    EXPECT_TRUE(cache->Flush() && !CacheExists());
    Store(*cache, a, 40, 10);
    Store(*cache, b, 64, 20);
    Store(*cache, c, 1, 30);  // a placeholder
    EXPECT_EQ("40x30 mark 10", Found(*cache, Upper(a)));  // names differing in letter case are one key
    Store(*cache, Upper(a), 48, 11);                      // replaces a's record, now the last
    cache->Open(Upper(Folder()));                         // the open folder: neither re-read nor flushed
    EXPECT_TRUE(cache->Dirty() && cache->Table().size() == 3);
    EXPECT_EQ(Header(0), Bytes().substr(0, 12));  // the table reaches the disk at the flush
    ASSERT_TRUE(cache->Flush());
    EXPECT_FALSE(cache->Dirty());
    ExpectCompacted({b, c, Upper(a)});  // one block for a
    auto fresh = OpenCache();
    EXPECT_TRUE(fresh->Table().size() == 3 && !fresh->Dirty());
    EXPECT_EQ("48x36 mark 11", Found(*fresh, a));
    EXPECT_EQ("64x48 mark 20", Found(*fresh, b));
    EXPECT_EQ("placeholder", Found(*fresh, c));
    EXPECT_EQ("none", Found(*fresh, Folder() + "unknown.avi"));
}

TEST_F(CacheFolder, OpenKeepsOnlyRecordsOfUnchangedFilesWithWholeBlocks) {
    std::string a = Media("a.avi"), b = Media("b.avi"), c = Media("c.avi"), d = Media("d.avi");
    const struct {
        const char* what;
        std::function<void()> damage;
        std::vector<std::string> kept;
        bool dirty, fileStays, holdA = false;  // a held by another program from before storing to the end
    } cases[] = {
        {"nothing changed", [] {}, {a, b, c}, false, true},
        {"a's time cannot be read, then or now", [] {}, {a, b, c}, false, true, true},
        {"wrong magic: deleted", [&] { Overwrite(0, Le32(0x12345678)); }, {}, false, false},
        {"version 2: deleted", [&] { Overwrite(4, Le32(2)); }, {}, false, false},
        {"an empty file: left alone", [&] { Rewrite(""); }, {}, false, true},
        {"shorter than a header", [&] { Rewrite(Le32(0x94439412) + std::string("\x01\x00", 2)); }, {}, false, true},
        {"more records claimed than held", [&] { Overwrite(8, Le32(5)); }, {a, b, c}, true, true},
        {"a count no file could hold", [&] { Overwrite(8, Le32(0x7FFFFFFF)); }, {a, b, c}, true, true},
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
        DeleteFileA(CacheFile().c_str());
        for (const char* name : {"a.avi", "b.avi", "c.avi"}) Media(name);
        HANDLE held = k.holdA ? CreateFileA(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr;
        Seed({a, b, c});
        k.damage();
        auto cache = OpenCache();
        std::vector<std::string> kept;
        for (const ThumbRecord& record : cache->Table()) kept.push_back(record.name);
        EXPECT_EQ(k.kept, kept);
        EXPECT_EQ(k.dirty, cache->Dirty());
        EXPECT_EQ(k.fileStays, CacheExists());
        // Nothing dropped: not rewritten; else compacted at the flush, and an emptied cache goes.
        std::string before = Bytes();
        cache->Flush();
        if (!k.dirty) {
            EXPECT_EQ(before, Bytes());
        }
        else if (k.kept.empty()) EXPECT_FALSE(CacheExists());
        else ExpectCompacted(k.kept);
        // Either way the cache takes additions.
        Store(*cache, d, 16, 9);
        cache->Close();
        auto again = OpenCache();
        EXPECT_EQ(k.kept.size() + 1, again->Table().size());
        EXPECT_EQ("16x12 mark 9", Found(*again, d));
        if (held) CloseHandle(held);
    }
}

TEST_F(CacheFolder, LookupPassesOverBlocksThatDoNotDecodeToTheNextRecordOfTheName) {
    std::string a = Media("a.avi"), b = Media("b.avi");
    // a's cut block, then whole ones under its name in capitals and as given; b's only block is garbage.
    const std::pair<std::string, std::string> records[] = {
        {a, Png(44, 1).substr(0, 40)}, {Upper(a), Png(40, 2)}, {a, Png(48, 3)}, {b, "garbage!"}};
    std::string table, blocks;
    for (const auto& [name, block] : records) {
        table += Record(12 + 272 * std::size(records) + blocks.size(), block.size(), name);
        blocks += block;
    }
    folder.Write(kCacheName, Header(std::size(records)) + table + blocks);
    auto cache = OpenCache();
    ASSERT_EQ(4u, cache->Table().size());
    EXPECT_EQ("40x30 mark 2", Found(*cache, a));
    EXPECT_EQ("none", Found(*cache, b));
}

TEST_F(CacheFolder, AFailedCompactionLeavesNeitherFileHalfWritten) {
    std::string a = Media("a.avi"), temporary = Folder() + kTemporaryName;
    for (bool holdTemporary : {false, true}) {
        SCOPED_TRACE(holdTemporary ? "another program holds the temporary file" : "the cache lost its block");
        auto cache = OpenCache();
        Store(*cache, a);
        HANDLE held = INVALID_HANDLE_VALUE;
        DWORD written = 0;
        if (holdTemporary) held = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (holdTemporary) {
            ASSERT_TRUE(WriteFile(held, "other", 5, &written, nullptr));
        }
        else Rewrite(Bytes().substr(0, 12));  // the header only
        EXPECT_FALSE(cache->Flush());
        EXPECT_TRUE(!cache->Dirty() && cache->Table().size() == 1);  // the table stays in memory
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_FALSE(CacheExists());
        if (holdTemporary) EXPECT_EQ("other", ReadWholeFile(temporary));  // the other program's bytes only
        else EXPECT_FALSE(FileExists(temporary.c_str()));
        DeleteFileA(temporary.c_str());
        EXPECT_TRUE(OpenCache()->Table().empty());
    }
}

TEST_F(CacheFolder, WhatCannotBeCachedIsRefusedAndAHeldCacheFileIsLeftAlone) {
    std::string a = Media("a.avi");
    Seed({a});
    std::string before = Bytes();
    HANDLE held = CreateFileA(CacheFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    auto cache = OpenCache();  // the held file counts as absent
    EXPECT_TRUE(cache->Table().empty() && Found(*cache, a) == "none");
    CxImage image;
    Picture(image, 16, 1);
    EXPECT_FALSE(cache->Add(a, image));
    CloseHandle(held);
    // Paths the name field cannot hold, or without a folder.
    EXPECT_FALSE(cache->Add(Folder() + std::string(260 - Folder().size(), 'x') + ".avi", image));
    EXPECT_FALSE(cache->Add("bare.avi", image) || cache->Lookup("bare.avi", image));
    EXPECT_TRUE(OpenCache(std::string(300, 'd') + "\\")->Folder().empty());
    cache->Close();
    EXPECT_EQ(before, Bytes());
}
