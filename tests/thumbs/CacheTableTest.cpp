// The thumbnail cache's file layout, its limits and its name index, over a folder kept in memory.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/MemoryFiles.h"

namespace {

const std::string kFolder = "C:\\Media\\", kCache = kFolder + "$$KesTHM$$.cache";
const std::string kA = kFolder + "a.avi", kB = kFolder + "b.avi", kC = kFolder + "c.avi", kD = kFolder + "d.avi";

using Records = std::vector<std::pair<std::string, std::string>>;  // names and their blocks

std::string Le32(size_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string Header(size_t count) { return Le32(0x94439412) + Le32(1) + Le32(count); }
std::string Block(char mark) { return std::string(8, mark); }

class CacheTable : public ::testing::Test {
protected:
    void SetUp() override {
        Restore();
        cache.Open(kFolder);
    }
    // The four media files, all unchanged.
    void Restore() {
        for (const std::string& name : {kA, kB, kC, kD}) files.media[name] = {7, 1};
    }
    bool Add(const std::string& path, size_t size, char mark = 1) {
        return cache.AddBlock(path, reinterpret_cast<const uint8_t*>(std::string(size, mark).data()), size);
    }
    // The first byte of the block found for `path`; -1 when there is none.
    int Found(const std::string& path) {
        int mark = -1;
        cache.LookupBlock(path, [&](const std::vector<uint8_t>& block) { return mark = block.at(0), true; });
        return mark;
    }
    // A record as the file holds it, with the media file's current last-write time.
    std::string Record(size_t offset, size_t size, const std::string& name) {
        CacheFileTime time = files.LastWrite(name);
        return Le32(offset) + Le32(size) + name + std::string(256 - name.size(), '\0') + Le32(time.low) +
               Le32(time.high);
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
    bool Exists() const { return files.files.count(kCache) != 0; }
    std::string Bytes() const {
        return Exists() ? std::string(files.files.at(kCache)->bytes.begin(), files.files.at(kCache)->bytes.end()) : "";
    }
    void Rewrite(const std::string& bytes) {
        files.files[kCache] = std::make_shared<MemoryFile>(MemoryFile{{bytes.begin(), bytes.end()}, 1, true});
    }
    // `bytes` written at `at`, the file growing with zeros where it must.
    void Overwrite(size_t at, const std::string& bytes) {
        std::string now = Bytes();
        now.resize(std::max(now.size(), at + bytes.size()));
        Rewrite(now.replace(at, bytes.size(), bytes));
    }

    MemoryFiles files;
    ThumbCache cache{files};
};

}  // namespace

TEST_F(CacheTable, WhatABlockMayBe) {
    const struct {
        const char* what; std::string path; size_t size; bool stored; std::string folder = kFolder;
    } cases[] = {
        {"a name of 255 characters", kFolder + std::string(255 - kFolder.size(), 'n'), 10, true},
        {"a name of 256: no room for its terminator", kFolder + std::string(256 - kFolder.size(), 'n'), 10, false},
        {"a file of a folder below", kFolder + "sub\\a.avi", 10, false},
        {"the folder in other letter case", "c:\\MEDIA\\a.avi", 10, true},
        {"an empty block", kB, 0, false},
        {"a block of 16 MB", kC, 16 << 20, true},
        {"a block of 16 MB and a byte", kD, (16 << 20) + 1, false},
        // Both the cache's names fit in 260 characters with their terminator, or the folder has no cache.
        {"a folder of 239 characters", std::string(238, 'f') + "\\a.avi", 10, true, std::string(238, 'f') + "\\"},
        {"a folder of 240 characters", std::string(239, 'f') + "\\a.avi", 10, false, std::string(239, 'f') + "\\"},
    };
    for (const auto& c : cases) {
        cache.Open(c.folder);
        EXPECT_EQ(c.stored, Add(c.path, c.size)) << c.what;
    }
}

// Every add, replace and removal leaves each name finding its own block; the flush writes the table in
// its order, exactly, and a reopened cache finds the same. No file before the first add; the open
// folder opened again is neither read again nor flushed.
TEST_F(CacheTable, TheNameIndexAndTheFileFollowEveryChange) {
    EXPECT_TRUE(cache.Flush() && !Exists());
    for (const std::string& name : {kA, kB, kC, kD}) ASSERT_TRUE(Add(name, 8, name[9]));
    ASSERT_TRUE(Add("C:\\Media\\B.AVI", 8, 'B'));  // b's record goes; the new one is the last
    cache.Remove(kA);
    cache.Remove(kFolder + "unknown.avi");  // changes nothing
    cache.Open("c:\\media\\");
    EXPECT_EQ(Header(0), Bytes().substr(0, 12)) << "the table reaches the disk at the flush";
    const struct { const char* name; int mark; } rows[] = {
        {"a.avi", -1}, {"b.avi", 'B'}, {"B.avi", 'B'}, {"c.avi", 'c'}, {"D.AVI", 'd'}, {"e.avi", -1}};
    for (const auto& r : rows) EXPECT_EQ(r.mark, Found(kFolder + r.name)) << r.name;
    ASSERT_TRUE(cache.Flush());
    EXPECT_EQ(CacheBytes({{kC, Block('c')}, {kD, Block('d')}, {"C:\\Media\\B.AVI", Block('B')}}), Bytes());
    cache.Close();
    cache.Open(kFolder);
    for (const auto& r : rows) EXPECT_EQ(r.mark, Found(kFolder + r.name)) << r.name << ", reopened";
}

TEST_F(CacheTable, OpenKeepsTheLastRecordOfEachUnchangedFileWithAWholeBlock) {
    // A damage done to a file of a, b and c's records; the names kept; whether the open dropped records,
    // so that the flush compacts the file, and whether the file stays.
    const struct {
        const char* what; std::function<void()> damage; std::vector<std::string> kept; bool dropped, fileStays;
    } cases[] = {
        {"nothing changed", [] {}, {kA, kB, kC}, false, true},
        {"wrong magic: deleted", [&] { Overwrite(0, Le32(0x12345678)); }, {}, false, false},
        {"an empty file: left alone", [&] { Rewrite(""); }, {}, false, true},
        {"more records claimed than held", [&] { Overwrite(8, Le32(5)); }, {kA, kB, kC}, true, true},
        {"2^31 - 1 records claimed; d's record past the 4,096 that a folder of four files lets be read",
         [&] { Overwrite(8, Le32(0x7FFFFFFF)); Overwrite(12 + 5000 * 272, Record(12 + 3 * 272, 8, kD)); },
         {kA, kB, kC}, true, true},
        {"two records of a: the last", [&] {
             Rewrite(CacheBytes({{kA, "cut"}, {kB, Block(1)}, {"C:\\MEDIA\\A.AVI", Block(1)}, {kC, Block(1)}}));
         }, {"C:\\MEDIA\\A.AVI", kB, kC}, true, true},
        {"a touched file", [&] { files.media[kA] = {8, 1}; }, {kB, kC}, true, true},
        {"a deleted file", [&] { files.media.erase(kB); }, {kA, kC}, true, true},
        {"a block of absurd size", [&] { Overwrite(12 + 272 + 4, Le32(0x7FFFFFF0)); }, {kA, kC}, true, true},
        {"names of another folder, as after renaming it", [&] {
             for (size_t at = 12 + 8; at < 12 + 3 * 272; at += 272) Overwrite(at, std::string("D:\\Old\\a.avi\0", 13));
         }, {}, true, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        cache.Close();
        Restore();
        Rewrite(CacheBytes({{kA, Block(1)}, {kB, Block(1)}, {kC, Block(1)}}));
        k.damage();
        cache.Open(kFolder);
        EXPECT_EQ(k.fileStays, Exists());
        EXPECT_LE(cache.Table().capacity(), 4u) << "more room than the folder's four files need";
        // Nothing dropped: not rewritten; else compacted at the flush, and an emptied cache goes.
        std::string opened = Bytes();
        cache.Flush();
        EXPECT_TRUE(k.dropped || opened == Bytes()) << "rewritten, though nothing was dropped";
        Records kept;
        for (const std::string& name : k.kept) kept.emplace_back(name, Block(1));
        EXPECT_TRUE(!k.dropped || Bytes() == (kept.empty() ? "" : CacheBytes(kept))) << "not compacted";
        // Either way the kept records and an addition make the next file.
        ASSERT_TRUE(Add(kD, 8, 9));
        cache.Close();
        kept.emplace_back(kD, Block(9));
        EXPECT_EQ(CacheBytes(kept), Bytes());
    }
}
