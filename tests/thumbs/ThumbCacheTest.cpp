// The per-folder thumbnail cache on the system's files: real pictures, times, sharing and links.
// (Its layout, limits and name index are checked over a folder in memory in CacheTableTest.)
#include "thumbs/ThumbCache.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kCacheName[] = "$$KesTHM$$.cache", kTemporaryName[] = "$$KesTHM$$.New.cache";
const std::string kEmptyCache("\x12\x94\x43\x94\1\0\0\0\0\0\0\0", 12);

// A picture of width x 3/4 width (1 x 1 for a placeholder) whose top-left pixel tells it apart.
void Picture(CxImage& image, uint32_t width, BYTE mark) {
    ASSERT_TRUE(image.Create(width, width > 1 ? width * 3 / 4 : 1, 24));
    image.SetPixelColor(0, 0, RGBQUAD{mark, static_cast<BYTE>(255 - mark), 40, 255});
}

class CacheFolder : public ::testing::Test {
protected:
    std::string Folder() const { return folder.Path() + "\\"; }
    std::string Media(const std::string& name) { return folder.Write(name, "media " + name); }
    std::string CacheFile() const { return Folder() + kCacheName; }
    void Reopen() {
        cache.Close();
        cache.Open(Folder());
    }
    void Store(const std::string& path, uint32_t width, BYTE mark) {
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

    TempFolder folder;
    ThumbCache cache;  // closed before the folder goes
};

}  // namespace

// Add and flush write a hidden file. A second cache on the folder, as of another player, only reads
// while the first holds the file, reading its table again once it changed; neither loses what it
// flushed. A file held by another program while it is stored keeps its record, its time stored as 0.
TEST_F(CacheFolder, TheFirstCacheWritesASecondOnlyReadsAndNeitherLosesWhatItFlushed) {
    std::string a = Media("Clip.avi"), b = Media("b.avi"), c = Media("c.mp3"), d = Media("d.avi");
    ThumbCache other;
    CxImage image;
    Picture(image, 40, 2);
    Reopen();  // no cache file: an empty cache, and none is made
    other.Open(Folder());
    EXPECT_EQ("none", Found(a));
    HANDLE held = CreateFileA(a.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Store(a, 48, 11);
    EXPECT_FALSE(other.Add(b, image));
    Store(c, 1, 30);  // a placeholder
    EXPECT_EQ("48x36 mark 11", Found(Folder() + "CLIP.AVI")) << "names differing in letter case are one key";
    ASSERT_TRUE(cache.Flush());
    EXPECT_NE(0u, GetFileAttributesA(CacheFile().c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(std::string(8, '\0'), ReadWholeFile(CacheFile()).substr(12 + 264, 8)) << "a's time, which cannot be read";
    CxImage found;
    EXPECT_TRUE(other.Lookup(a, found) && found.GetWidth() == 48) << "the table read again after the flush";
    Store(b, 64, 20);
    other.Close();
    cache.Close();
    // Now the other writes first, and keeps what the first flushed.
    other.Open(Folder());
    Reopen();
    EXPECT_TRUE(other.Add(d, image) && !cache.Add(d, image));
    other.Close();
    Reopen();
    const struct { std::string path; const char* found; } rows[] = {
        {a, "48x36 mark 11"}, {b, "64x48 mark 20"}, {c, "placeholder"}, {d, "40x30 mark 2"}};
    for (const auto& r : rows) EXPECT_EQ(r.found, Found(r.path)) << r.path;
    CloseHandle(held);
}

TEST_F(CacheFolder, NoWriteGoesThroughALinkToAnotherFile) {
    std::string a = Media("a.avi"), other = folder.Write("other.dat", kEmptyCache);
    CxImage image;
    Picture(image, 40, 1);
    for (const char* name : {kTemporaryName, kCacheName}) {
        SCOPED_TRACE(name);
        bool cacheLinked = name == std::string(kCacheName);
        cache.Close();
        DeleteFileA(CacheFile().c_str());
        ASSERT_TRUE(CreateHardLinkA((Folder() + name).c_str(), other.c_str(), nullptr));
        Reopen();
        EXPECT_NE(cacheLinked, cache.Add(a, image));
        Reopen();
        EXPECT_EQ(kEmptyCache, ReadWholeFile(other));
        EXPECT_EQ(cacheLinked ? "none" : "40x30 mark 1", Found(a));
    }
}
