// The external frame grabber on videos made by the library generator, run through the plug-in's
// own road: each frame shows a bar as full as the frame is far into the video.
#include <windows.h>
#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

constexpr int kClipSeconds = 20;  // the generated clips
constexpr int kBarLeft = 8, kBarRight = 312, kBarRow = 171;  // in the 320 x 180 frame

// The second of a clip that a frame (of any size) shows, read from its bar; -1 for no frame at all.
int SecondShown(const CxImage& frame) {
    if (!frame.IsValid()) return -1;
    const int w = frame.GetWidth(), h = frame.GetHeight(), left = kBarLeft * w / 320, right = kBarRight * w / 320;
    int filled = left;
    for (int x = left; x < right; ++x) {
        RGBQUAD c = frame.GetPixelColor(x, kBarRow * h / 180);
        if (c.rgbRed > 200 && c.rgbGreen > 200 && c.rgbBlue > 200) filled = x + 1;
    }
    return static_cast<int>(double(filled - left) / (right - left) * kClipSeconds + 0.5);
}

}  // namespace

// Videos in every container, with names a user may well have, reach the grabber whole and give the
// frame at 0:05, which is cached in their folder and read back; what it cannot decode is cached as
// known to have none. A folder too long for the cache's names gets no cache, and its file is left.
TEST(FrameGrabber, AnyFileNameGivesItsFrameAndItsFolderACache) {
    TempFolder root;
    auto clip = [](const char* container) { return ReadWholeFile(TEST_MEDIA_DIR "\\clip." + std::string(container)); };
    const std::string empty("\x12\x94\x43\x94\1\0\0\0\0\0\0\0", 12);  // an empty cache file
    const size_t base = root.Path().size() + 1;                    // where a subfolder's name starts
    const struct { std::string folder, name, bytes; int shown; bool cached; } rows[] = {
        {"two words & more", "it's 100% ^fun^ %s%n%d.avi", clip("avi"), 5, true},
        {"\xC4rger", "caf\xE9 \xC4.mkv", clip("mkv"), 5, true},         // "Ärger", "café Ä" in the ANSI code page
        {std::string(199 - base, 'f'), "clip.mp4", clip("mp4"), 5, true},  // a folder path of 200 bytes
        {std::string(241 - base, 'g'), "clip.mov", clip("mov"), 5, false},  // "$$KesTHM$$.New.cache" would not fit
        {"cut", "cut.avi", clip("avi").substr(0, 2500), -1, true},        // cut inside its first frame
        {"notes", "notes.avi", "Pack the tripod.\r\n", -1, true},         // text named like a video
    };
    for (const auto& r : rows) {
        std::string folder = root / r.folder + "\\", path = folder + r.name;
        CreateDirectoryA(folder.c_str(), nullptr);
        root.Write(r.folder + "\\" + r.name, r.bytes);
        root.Write(r.folder + "\\" + kCacheFileName, empty);
        ThumbCache cache;
        CxImage frame, cached;
        cache.Open(folder);
        EXPECT_EQ(r.shown > 0 ? S_OK : E_FAIL, GetVideoThumbnail(path.c_str(), &cache, 320, 180, frame)) << path;
        EXPECT_EQ(r.shown, SecondShown(frame)) << path;
        cache.Close();
        cache.Open(folder);
        EXPECT_EQ(r.cached, cache.Lookup(path, cached) && SecondShown(cached) == r.shown) << path;
        EXPECT_TRUE(r.cached || ReadWholeFile(folder + kCacheFileName) == empty) << path;
    }
}
