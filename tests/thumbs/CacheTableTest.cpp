// The thumbnail cache's limits and its name index, over a folder kept in memory.
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include "tests/support/MemoryFiles.h"

namespace {

const std::string kFolder = "C:\\Media\\";

class CacheTable : public ::testing::Test {
protected:
    void SetUp() override { cache.Open(kFolder); }
    bool Add(const std::string& path, size_t size, uint8_t mark = 1) {
        files.media[path] = {1, 2};
        return cache.AddBlock(path, std::vector<uint8_t>(size, mark).data(), size);
    }
    // The first byte of the block found for `path`; -1 when there is none.
    int Found(const std::string& path) {
        int mark = -1;
        cache.LookupBlock(path, [&](const std::vector<uint8_t>& block) { return mark = block.at(0), true; });
        return mark;
    }
    MemoryFiles files;
    ThumbCache cache{files};
};

}  // namespace

TEST_F(CacheTable, WhatABlockMayBe) {
    const struct { const char* what; std::string path; size_t size; bool stored; } cases[] = {
        {"a name of 255 characters", kFolder + std::string(255 - kFolder.size(), 'n'), 10, true},
        {"a name of 256: no room for its terminator", kFolder + std::string(256 - kFolder.size(), 'n'), 10, false},
        {"a file of another folder", "C:\\Other\\a.avi", 10, false},
        {"a file of a folder below", kFolder + "sub\\a.avi", 10, false},
        {"the folder in other letter case", "c:\\MEDIA\\a.avi", 10, true},
        {"an empty block", kFolder + "b.avi", 0, false},
        {"a block of 16 MB", kFolder + "c.avi", 16 << 20, true},
        {"a block of 16 MB and a byte", kFolder + "d.avi", (16 << 20) + 1, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.stored, Add(c.path, c.size)) << c.what;
}

// Every replace and removal leaves each name finding its own block, in the file's order.
TEST_F(CacheTable, TheNameIndexFollowsEveryChange) {
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi"}) ASSERT_TRUE(Add(kFolder + name, 8, name[0]));
    ASSERT_TRUE(Add(kFolder + "B.AVI", 8, 'B'));  // b's record goes; the new one is the last
    cache.Remove(kFolder + "a.avi");
    cache.Remove(kFolder + "unknown.avi");  // changes nothing
    const struct { const char* name; int mark; } rows[] = {
        {"a.avi", -1}, {"b.avi", 'B'}, {"B.avi", 'B'}, {"c.avi", 'c'}, {"D.AVI", 'd'}, {"e.avi", -1}};
    for (const auto& r : rows) EXPECT_EQ(r.mark, Found(kFolder + r.name)) << r.name;
    std::vector<std::string> order;
    for (const ThumbRecord& record : cache.Table()) order.push_back(record.name);
    EXPECT_EQ((std::vector<std::string>{kFolder + "c.avi", kFolder + "d.avi", kFolder + "B.AVI"}), order);
    // Flushed and opened again: the same.
    ASSERT_TRUE(cache.Flush());
    cache.Close();
    cache.Open(kFolder);
    for (const auto& r : rows) EXPECT_EQ(r.mark, Found(kFolder + r.name)) << r.name << ", reopened";
}
