// Track pictures end to end: a real Navigator and its worker over a folder of media files, with
// the tag library and a fake frame grabber beside this program. What is checked is what the
// window paints, what the cache file holds, and how often the grabber ran.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>

#include "base/Files.h"
#include "tests/navigator/NavigatorFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"
#include "thumbs/ThumbCache.h"
#include "ximage/CxImage.h"

namespace {

constexpr COLORREF kRed = RGB(230, 30, 30), kGreen = RGB(30, 200, 30), kBlue = RGB(30, 30, 230),
                   kYellow = RGB(255, 255, 0), kMagenta = RGB(220, 0, 220);
constexpr COLORREF kNone = 0xFFFFFFFF;  // no picture: the entry keeps its placeholder

std::string Encoded(int width, int height, COLORREF colour, uint32_t format) {
    CxImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 255});
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    image.Encode(bytes, size, format);
    std::string out(reinterpret_cast<char*>(bytes), size);
    CxImage::FreeMemory(bytes);
    return out;
}

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// An MP3 whose ID3v2.3 tag holds one front cover; `claimed` overstates the frame's size.
std::string Mp3(const std::string& picture, uint32_t claimed = 0) {
    std::string apic = std::string("\0image/png\0\x03\0", 13) + picture;
    std::string frame = "APIC" + Be32(claimed ? claimed : static_cast<uint32_t>(apic.size())) + std::string(2, '\0') + apic;
    uint32_t n = static_cast<uint32_t>(frame.size());
    std::string size = {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
    return std::string("ID3\x03\0\0", 6) + size + frame + std::string(417, '\0');
}

COLORREF Near(COLORREF got, COLORREF want) {
    auto close = [](int a, int b) { return abs(a - b) <= 12; };
    bool same = close(GetRValue(got), GetRValue(want)) && close(GetGValue(got), GetGValue(want)) &&
                close(GetBValue(got), GetBValue(want));
    return same ? want : got;
}

class Pictures : public NavigatorFixture {
protected:
    void SetUp() override { Start(); }
    // The worker may still be at work: it ends before the media folder goes. A grabber left
    // running is waited for too: under Wine its exit during a later test's window changes raises
    // an X error in this process.
    void TearDown() override {
        nav.DestroyWindow();
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (_stricmp(entry.szExeFile, "ffmpeg_vx.exe") != 0) continue;
            HANDLE grabber = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (grabber) WaitForSingleObject(grabber, 10000);
            if (grabber) CloseHandle(grabber);
        }
        CloseHandle(snapshot);
    }

    std::string Media(const std::string& name, const std::string& bytes) { return media.Write(name, bytes); }
    void SendList(const std::vector<std::string>& paths) {
        std::vector<std::string> tokens;
        for (const std::string& path : paths) tokens.insert(tokens.end(), {path, " name ", " album "});
        SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
    }
    // The grabber's output files in the temporary folder.
    static size_t TemporaryFrames() {
        std::vector<std::string> files;
        ListFolder(GetTempFolder(), "THM*.tmp", files, false, false);
        return files.size();
    }
    bool WaitPictures() { return PumpUntil([&] { return nav.thumbnails.Awaited() == 0; }, 20000); }
    int Images() const { return ImageList_GetImageCount(nav.thumbnails.Images()); }
    int GrabberRuns(const std::string& path) const {
        std::string runs = ReadWholeFile(path + ".runs");
        return static_cast<int>(std::count(runs.begin(), runs.end(), '\n'));
    }
    // The painted colour at the middle of the entry's picture area, and `down` pixels below its top.
    COLORREF PictureAt(const WindowCapture& capture, int index, int down = -1) const {
        Geometry layout = nav.Layout();
        Rect frame = layout.ThumbFrameRect(index - nav.top);
        int pad = layout.ThumbPad();
        int y = frame.top + pad + (down < 0 ? layout.ThumbHeight() / 2 : down);
        return capture.At(frame.left + pad + layout.ThumbWidth() / 2, y);
    }

    TempFolder media;
};

TEST_F(Pictures, EachSourceGivesItsPictureAndTheCacheAnswersTheNextVisit) {
    std::string picture = Encoded(300, 300, kMagenta, CXIMAGE_FORMAT_PNG);
    struct Case {
        std::string name, bytes;
        COLORREF shown;
    } cases[] = {
        {"both.avi", "", kBlue},  // the .JPG side image wins over the .THM one
        {"big.avi", "frame 1920 1080 ffff00", kYellow},
        {"broken.avi", "not a video", kNone},
        {"garbage.avi", "garbage", kNone},
        {"empty.avi", "", kNone},
        {"gone.avi", "vanish", kNone},  // deleted while its frame is being made
        {"thm.avi", "", kGreen},
        {"song.mp3", Mp3(picture), kMagenta},
        {"bad.mp3", Mp3(picture, 1u << 30), kNone},  // a picture said to run far past the file
        {"notes.txt", "", kNone},
    };
    Media("both.THM", Encoded(160, 120, kRed, CXIMAGE_FORMAT_JPG));
    Media("both.JPG", Encoded(160, 120, kBlue, CXIMAGE_FORMAT_JPG));
    Media("thm.THM", Encoded(160, 120, kGreen, CXIMAGE_FORMAT_JPG));
    std::vector<std::string> paths;
    for (const Case& c : cases) paths.push_back(Media(c.name, c.bytes));
    size_t temporaryFiles = TemporaryFrames();
    // A path the request cannot hold gets no picture and is never asked for.
    paths.push_back(media.Path() + "\\" + std::string(520, 'x') + ".avi");

    for (int visit = 1; visit <= 2; ++visit) {
        SCOPED_TRACE(visit);
        SendList(paths);
        ASSERT_TRUE(WaitPictures());
        WindowCapture capture(Window());
        for (size_t i = 0; i < std::size(cases); ++i) {
            SCOPED_TRACE(cases[i].name);
            bool has = nav.thumbnails.FindThumbnail(nav.entries[i].serial) >= 0;
            EXPECT_EQ(cases[i].shown != kNone, has);
            EXPECT_EQ(cases[i].shown != kNone, nav.entries[i].serial != 0);
            if (has) {
                EXPECT_EQ(cases[i].shown, Near(PictureAt(capture, static_cast<int>(i)), cases[i].shown));
            }
        }
        EXPECT_NE(0u, nav.entries[nav.entries.size() - 1].serial);
        // 1920 x 1080 fitted to the cell leaves transparent bands above and below: the frame shows
        // there as it does in the next cell, which has no picture.
        EXPECT_EQ(PictureAt(capture, 2, 1), PictureAt(capture, 1, 1));
        EXPECT_NE(PictureAt(capture, 2, 1), PictureAt(capture, 1));
        // The cache answered the second visit: each video without a side image was grabbed once.
        for (size_t i : {1, 2, 3, 4, 5}) EXPECT_EQ(1, GrabberRuns(paths[i])) << cases[i].name;

        // Hiding drops every picture and every pending job.
        ShowWindow(Window(), SW_HIDE);
        for (const NavigatorEntry& entry : nav.entries) EXPECT_LT(nav.thumbnails.FindThumbnail(entry.serial), 0);
        EXPECT_EQ(0, Images());
        EXPECT_EQ(0u, nav.thumbnails.Pending());
    }

    // Videos only are cached, each once: the frame fitted to 240 x 240, each failure as a
    // placeholder; the vanished file's record goes with it. No grabber's output is left behind.
    nav.DestroyWindow();  // the worker ends, and no longer holds the cache file
    EXPECT_EQ(temporaryFiles, TemporaryFrames());
    ThumbCache cache;
    cache.Open(media.Path() + "\\");
    ASSERT_EQ(4u, cache.Table().size());
    CxImage stored;
    ASSERT_TRUE(cache.Lookup(paths[1], stored));
    EXPECT_EQ(240u, stored.GetWidth());
    EXPECT_EQ(135u, stored.GetHeight());
    for (size_t i : {2, 3, 4}) {
        EXPECT_TRUE(cache.Lookup(paths[i], stored)) << cases[i].name;
        EXPECT_FALSE(stored.IsValid()) << cases[i].name;
    }
}

TEST_F(Pictures, WithoutTheGrabberAVideoIsNotTriedAgainUntilItChanges) {
    std::string clip = Media("clip.avi", "frame 64 48 00ff00");
    std::string grabber = ProgramFolder() + "ffmpeg_vx.exe", aside = grabber + ".aside";
    ASSERT_TRUE(MoveFileA(grabber.c_str(), aside.c_str()));
    SendList({clip});
    bool done = WaitPictures();
    MoveFileA(aside.c_str(), grabber.c_str());
    ASSERT_TRUE(done);
    EXPECT_EQ(0u, nav.entries[0].serial);

    SendList({clip});  // the grabber is back, but the placeholder answers
    ASSERT_TRUE(WaitPictures());
    EXPECT_EQ(0u, nav.entries[0].serial);
    EXPECT_EQ(0, GrabberRuns(clip));

    Sleep(20);  // a later write time
    Media("clip.avi", "frame 64 48 00ff00 ");
    SendList({clip});
    ASSERT_TRUE(WaitPictures());
    EXPECT_GE(nav.thumbnails.FindThumbnail(nav.entries[0].serial), 0);
    EXPECT_EQ(1, GrabberRuns(clip));
}

TEST_F(Pictures, NothingIsQueuedInDiscModeOrWithThumbnailsOff) {
    std::string clip = Media("thm.avi", "");
    Media("thm.THM", Encoded(64, 48, kGreen, CXIMAGE_FORMAT_JPG));
    for (bool disc : {true, false}) {
        SCOPED_TRACE(disc);
        settings.showThumbnail = disc;  // thumbnails on in disc mode, off otherwise
        player.Answer(kRequestDiscMode, disc);
        nav.ShowList(Tracks);
        SendList({clip, clip});
        EXPECT_EQ(0u, nav.thumbnails.Pending());
        EXPECT_EQ(0u, nav.thumbnails.Awaited());
        PumpMessages(200);
        EXPECT_EQ(0, Images());
    }
}

TEST_F(Pictures, ResultsNoLongerWantedAreFreed) {
    std::string clip = Media("slow.avi", "sleep 300");
    for (bool hide : {false, true}) {
        SCOPED_TRACE(hide);
        SendList({clip});
        uint32_t serial = nav.entries[0].serial;
        if (hide)
            ShowWindow(Window(), SW_HIDE);  // the list stays, its pictures go
        else
            SendList({clip});
        HDC screen = GetDC(nullptr);
        HBITMAP late = CreateCompatibleBitmap(screen, 40, 30);
        ReleaseDC(nullptr, screen);
        SendMessageA(Window(), kThumbnailReadyMessage, serial, reinterpret_cast<LPARAM>(late));
        BITMAP info;
        EXPECT_EQ(0, GetObjectA(late, sizeof(info), &info)) << "the late bitmap was not deleted";
        EXPECT_EQ(0, Images());
        ASSERT_TRUE(WaitPictures());
    }
}

TEST_F(Pictures, AFrameMadeWhileItsListIsDroppedStillReachesTheDisk) {
    std::string clip = Media("slow.avi", "frame 320 180 00ff00 400");
    SendList({clip});
    ASSERT_TRUE(PumpUntil([&] { return GrabberRuns(clip) == 1; }, 5000));
    ShowWindow(Window(), SW_HIDE);  // drops the list's jobs while the frame is being made

    // The worker, idle again, compacts the cache: one record holding the frame fitted to 240 x 240.
    // Its size is watched from the folder's listing, since opening the file would take it from
    // the worker.
    std::string frame = Encoded(240, 135, RGB(0, 255, 0), CXIMAGE_FORMAT_PNG);
    std::string cacheFile = media / kCacheFileName;
    auto compacted = [&] {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(cacheFile.c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return false;
        FindClose(find);
        return found.nFileSizeLow == kCacheHeaderSize + kThumbRecordSize + frame.size();
    };
    ASSERT_TRUE(PumpUntil(compacted, 5000));
    EXPECT_EQ(frame, ReadWholeFile(cacheFile).substr(kCacheHeaderSize + kThumbRecordSize));
}

TEST_F(Pictures, AHangingGrabberNeitherStallsTheWindowNorHoldsUpItsDestruction) {
    std::string hanging = Media("hang.avi", "sleep 2500");
    SendList({hanging, Media("next.avi", "")});
    ASSERT_TRUE(PumpUntil([&] { return GrabberRuns(hanging) == 1; }, 5000));

    DWORD start = GetTickCount();
    SendList({hanging});
    nav.ResetThumbnails();
    EXPECT_LT(GetTickCount() - start, 500u) << "the window's thread waited for the picture being made";

    // The grab is given up at once; the worker ends well within its 3 s limit, not terminated.
    start = GetTickCount();
    nav.DestroyWindow();
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(Pictures, WithoutTheTagLibraryOnlyAudioLosesItsPicture) {
    std::string library = ProgramFolder() + "KsXTag.dll", aside = library + ".aside";
    ASSERT_TRUE(MoveFileA(library.c_str(), aside.c_str()));
    std::string song = Media("song.mp3", Mp3(Encoded(50, 50, kMagenta, CXIMAGE_FORMAT_PNG)));
    std::string clip = Media("thm.avi", "");
    Media("thm.THM", Encoded(64, 48, kGreen, CXIMAGE_FORMAT_JPG));
    SendList({song, clip});
    bool done = WaitPictures();
    MoveFileA(aside.c_str(), library.c_str());
    ASSERT_TRUE(done);
    EXPECT_EQ(0u, nav.entries[0].serial);
    EXPECT_GE(nav.thumbnails.FindThumbnail(nav.entries[1].serial), 0);
}

}  // namespace
