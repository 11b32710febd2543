// Track pictures end to end (a real Navigator and worker, the tag library and a fake frame grabber
// beside this program): what the window paints, what the cache file holds, how often grabs run.
#include <windows.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "base/Files.h"
#include "tests/support/NavigatorFixture.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbCache.h"
#include "ximage/CxImage.h"

namespace {
constexpr COLORREF kRed = RGB(230, 30, 30), kGreen = RGB(30, 200, 30), kBlue = RGB(30, 30, 230),
                   kYellow = RGB(255, 255, 0), kMagenta = RGB(220, 0, 220), kNone = 0xFFFFFFFF;  // kNone: no picture

// `want` when `got` is within 12 of it in each channel (JPEG and scaling shift colours), else `got`.
COLORREF Near(COLORREF got, COLORREF want) {
    auto within = [&](int shift) { return abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF)) <= 12; };
    return within(0) && within(8) && within(16) ? want : got;
}

class Pictures : public NavigatorFixture {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { nav.DestroyWindow(); }  // the worker ends before its folder goes
    void SendList(const std::vector<std::string>& paths) {
        std::vector<std::string> tokens;
        for (const std::string& path : paths) tokens.insert(tokens.end(), {path, " name ", " album "});
        SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
    }
    int Images() const { return ImageList_GetImageCount(nav.Thumbnails().Images()); }
    // The grabber's output files in the temporary folder.
    static int TemporaryFrames() {
        std::vector<std::string> found;
        return ListFolder(GetTempFolder(), "THM*.tmp", found, false, false);
    }
    // The painted colour at the middle of the entry's picture area, and `down` pixels below its top.
    COLORREF PictureAt(const WindowCapture& capture, int index, int down = -1) const {
        Geometry layout = nav.Layout();
        Rect frame = layout.ThumbFrameRect(index - nav.List().Top());
        int x = frame.left + layout.ThumbPad() + layout.ThumbWidth() / 2;
        return capture.At(x, frame.top + layout.ThumbPad() + (down < 0 ? layout.ThumbHeight() / 2 : down));
    }
    // What the folder's cache holds for `path`: "none", "placeholder", or the size and middle colour.
    std::string Cached(const std::string& path) {
        ThumbCache cache;
        cache.Open(media.Path() + "\\");
        CxImage image;
        if (!cache.Lookup(path, image)) return "none";
        if (!image.IsValid()) return "placeholder";
        RGBQUAD c = image.GetPixelColor(image.GetWidth() / 2, image.GetHeight() / 2);
        char text[32];
        snprintf(text, sizeof(text), "%ux%u %02x%02x%02x", image.GetWidth(), image.GetHeight(), c.rgbRed, c.rgbGreen,
                 c.rgbBlue);
        return text;
    }

    TempFolder media;
};

TEST_F(Pictures, EachSourceGivesItsPictureAndTheCacheAnswersTheNextVisits) {
    std::string picture = EncodedPicture(300, 300, kMagenta, CXIMAGE_FORMAT_PNG);
    // Only grabbed frames are cached, fitted to 240 x 240, and failures (a grabber that hangs past five
    // seconds among them, which is ended then) as placeholders. The third visit (`third`) has no tag
    // library, and broken.avi has become a video; `grabs`: grabber runs by then.
    const struct { std::string name, bytes; COLORREF shown, third; int grabs; const char* cached; } rows[] = {
        {"both.avi", "", kBlue, kBlue, 0, "none"},  // the .JPG side image wins over the .THM one
        {"big.avi", "frame 1920 1080 ffff00", kYellow, kYellow, 1, "240x135 ffff00"},
        {"broken.avi", "not a video", kNone, kGreen, 2, "64x48 1ec81e"},  // tried again once it changed
        {"garbage.avi", "garbage", kNone, kNone, 1, "placeholder"},
        {"gone.avi", "vanish", kNone, kNone, 1, "none"},  // deleted while its frame is being made
        {"hangs.avi", "frame 64 48 ff0000 60000", kNone, kNone, 1, "placeholder"},  // ended at five seconds
        {"slow.avi", "frame 64 48 1e1ee6 3000", kBlue, kBlue, 1, "64x48 1e1ee6"},  // within them: waited for
        {"thm.avi", "", kGreen, kGreen, 0, "none"},
        {"song.mp3", Mp3WithCover(picture), kMagenta, kNone, 0, "none"},
        {"bad.mp3", Mp3WithCover(picture, 1u << 30), kNone, kNone, 0, "none"},  // its picture runs past the file
        {"notes.txt", "", kNone, kNone, 0, "none"},
    };
    for (auto [name, rgb] : {std::pair("both.THM", kRed), std::pair("both.JPG", kBlue), std::pair("thm.THM", kGreen)})
        media.Write(name, EncodedPicture(160, 120, rgb, CXIMAGE_FORMAT_JPG));
    std::vector<std::string> paths;
    for (const auto& c : rows) paths.push_back(media.Write(c.name, c.bytes));
    int temporaryFiles = TemporaryFrames();
    paths.push_back(media.Path() + "\\" + std::string(520, 'x') + ".avi");  // too long for a request
    std::string library = ProgramFolder() + "KsXTag.dll", aside = library + ".aside";
    for (int visit = 1; visit <= 3; ++visit) {
        SCOPED_TRACE(visit);
        if (visit == 3) {
            ASSERT_TRUE(MoveFileA(library.c_str(), aside.c_str()));
            media.Write("broken.avi", "frame 64 48 1ec81e");
        }
        SendList(paths);
        bool done = PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 20000);
        if (visit == 3) MoveFileA(aside.c_str(), library.c_str());
        ASSERT_TRUE(done);
        WindowCapture capture(Window());
        for (size_t i = 0; i < paths.size(); ++i) {
            COLORREF want = i == std::size(rows) ? kNone : visit == 3 ? rows[i].third : rows[i].shown;
            EXPECT_EQ(want != kNone, nav.Thumbnails().FindThumbnail(nav.List().Entries()[i].serial) >= 0) << paths[i];
            if (want != kNone) {
                EXPECT_EQ(want, Near(PictureAt(capture, static_cast<int>(i)), want)) << paths[i];
            }
        }
        // 1920 x 1080 fitted leaves transparent bands above and below, as plain as an empty cell.
        EXPECT_EQ(PictureAt(capture, 3, 1), PictureAt(capture, 1, 1));
        EXPECT_NE(PictureAt(capture, 3, 1), PictureAt(capture, 1));
        // The cache answered the later visits: a video is grabbed once, and again once it changed.
        for (size_t i = 0; i < std::size(rows); ++i) {
            GrabberRuns runs = GrabberRunsOf(paths[i]);
            int grabs = visit < 3 ? std::min(rows[i].grabs, 1) : rows[i].grabs;
            EXPECT_EQ(std::make_pair(grabs, 0), std::make_pair(runs.started, runs.running)) << paths[i];
        }
        ShowWindow(Window(), SW_HIDE);  // drops every picture
        EXPECT_EQ(0, Images());
    }
    nav.DestroyWindow();  // the worker ends, and no longer holds the cache file
    EXPECT_EQ(temporaryFiles, TemporaryFrames()) << "a grabber's output was left behind";
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].cached, Cached(paths[i])) << paths[i];
}

// A list replaced while its frame is being made: the late picture is deleted, the frame still cached.
// Then the player stops while the next list's frame is grabbed: the grabber, which inherited none of
// our handles, is ended and leaves nothing; the video is tried again next time; the decoders' flag,
// which a media-stack grab given up on may leave, is gone.
TEST_F(Pictures, AReplacedListFreesItsLateResultAndAStopEndsTheGrabWithoutAVerdict) {
    std::string slow = media.Write("slow.avi", "frame 320 180 00ff00 400"), held = media / "held.dat";
    std::string hangs = media.Write("hangs.avi", "frame 64 48 ff0000 60000");
    int temporaryFiles = TemporaryFrames();
    SendList({slow});
    uint32_t replaced = nav.List().Entries()[0].serial;
    ASSERT_TRUE(PumpUntil([&] { return GrabberRunsOf(slow).started == 1; }, 5000));
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE mine = CreateFileA(held.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS, 0, nullptr);
    SendList({hangs});  // its grab starts once the frame is stored
    HBITMAP late = CreateBitmap(40, 30, 1, 32, nullptr);
    SendMessageA(Window(), kThumbnailReadyMessage, replaced, reinterpret_cast<LPARAM>(late));
    EXPECT_TRUE(GetObjectA(late, 0, nullptr) == 0 && Images() == 0) << "the late picture kept";
    ASSERT_TRUE(PumpUntil([&] { return GrabberRunsOf(hangs).started == 1; }, 5000));
    CloseHandle(mine);
    HANDLE again = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, again) << "the grabber holds our handle";
    CloseHandle(again);
    SetConvertingFlag(true);
    nav.DestroyWindow();
    EXPECT_EQ(std::make_tuple(0, temporaryFiles, std::string("240x135 00ff00"), std::string("none"), 0),
              std::make_tuple(GrabberRunsOf(hangs).running, TemporaryFrames(), Cached(slow), Cached(hangs),
                              ConvertingKeys()));
}

// A new list opening at its track has the pictures of the page shown made first, in screen order,
// then the next page's, the previous page's and the rest in list order, none twice. A picture that
// arrives is drawn in its entry's cell: only that cell's frame is repainted, and nothing for an
// entry off the page shown. Pictures are kept for the page shown and two pages on each side only;
// a page let go is asked for again when it is shown, answered by the folder's cache, and painted.
TEST_F(Pictures, ThePageShownComesFirstItsPicturesRepaintTheirCellsAndOnlyNearPagesKeepThem) {
    const int count = 1000;
    std::string video = media.Write("clip.avi", "frame 64 48 e61e1e");
    player.Answer(kRequestCurrentTrack, count / 2);
    SendList(std::vector<std::string>(count, video));
    std::map<uint32_t, int> entryOf;
    for (int i = 0; i < count; ++i) entryOf[nav.List().Entries()[i].serial] = i;
    std::vector<int> made;
    MSG msg;
    for (DWORD start = GetTickCount(); nav.Thumbnails().Awaited() > 0 && GetTickCount() - start < 20000;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        bool result = msg.message == kThumbnailReadyMessage;
        if (result) UpdateWindow(Window());  // nothing left to repaint before the window takes it
        DispatchMessageA(&msg);
        if (!result) continue;
        int entry = entryOf[static_cast<uint32_t>(msg.wParam)];
        made.push_back(entry);
        RECT box = {};
        bool repainted = GetUpdateRect(Window(), &box, FALSE);
        if (!nav.List().OnPage(entry)) {
            EXPECT_FALSE(repainted) << entry;
            continue;
        }
        Rect frame = nav.Layout().ThumbFrameRect(entry - nav.List().Top());
        EXPECT_TRUE(repainted && box.left == frame.left && box.top == frame.top && box.right == frame.right &&
                    box.bottom == frame.bottom) << entry;
        UpdateWindow(Window());
        EXPECT_EQ(kRed, Near(PictureAt(WindowCapture(Window(), WindowCapture::Source::Screen), entry), kRed)) << entry;
    }
    // The page, the next page, the previous page (all within the list here), then the rest in list order.
    const int perPage = nav.List().Layout().perPage, top = nav.List().Top();
    const int pages[][2] = {{top, top + perPage}, {top + perPage, top + 2 * perPage}, {top - perPage, top}, {0, count}};
    std::vector<int> order;
    for (const auto& page : pages)
        for (int i = page[0]; i < page[1]; ++i)
            if (std::find(order.begin(), order.end(), i) == order.end()) order.push_back(i);
    EXPECT_EQ(order, made);
    for (int i = 0; i < 4; ++i) SendMessageA(Window(), WM_KEYDOWN, VK_NEXT, 0);  // the first page is let go
    ASSERT_TRUE(PumpUntil([&] {  // the page painted, and those on either side made
        for (int i = nav.List().Top() - perPage; i < nav.List().Top() + 2 * perPage; ++i)
            if (nav.Thumbnails().FindThumbnail(nav.List().Entries()[i].serial) < 0) return false;
        return !GetUpdateRect(Window(), nullptr, FALSE);
    }, 20000));
    EXPECT_LE(std::max(nav.Thumbnails().Pictures(), Images()), 5 * perPage);
    EXPECT_EQ(kRed, Near(PictureAt(WindowCapture(Window()), nav.List().Top()), kRed));
    EXPECT_EQ(1, GrabberRunsOf(video).started);
}

// A grabber planted in the current folder or a relative folder of PATH never runs; one in an
// absolute folder of PATH does, when none is beside the program.
TEST(FrameGrabberSearch, NeverInTheCurrentFolderOrARelativePathEntry) {
    TempFolder place;
    std::string video = place.Write("clip.avi", "frame 64 48 00ff00"), planted = place / "planted";
    std::string beside = ProgramFolder() + "ffmpeg_vx.exe", aside = beside + ".aside", path(32767, '\0');
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    path.resize(GetEnvironmentVariableA("PATH", &path[0], 32767));
    CreateDirectoryA(planted.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(beside.c_str(), (planted + "\\ffmpeg_vx.exe").c_str(), FALSE));
    ASSERT_TRUE(MoveFileA(beside.c_str(), aside.c_str()));
    const struct { const char* where; std::string current, path; bool runs; } rows[] = {
        {"the current folder", planted, "X:\\none", false},
        {"a relative folder of PATH", place.Path(), "planted", false},
        {"an absolute folder of PATH, in quotes", place.Path(), "X:\\none;\"" + planted + "\"", true},
    };
    for (const auto& r : rows) {
        SetCurrentDirectoryA(r.current.c_str());
        SetEnvironmentVariableA("PATH", (r.path + ";" + path).c_str());
        HBITMAP frame = GrabFrameExternal(video.c_str());
        EXPECT_EQ(r.runs, frame != nullptr) << r.where;
        DeleteObject(frame);
    }
    SetCurrentDirectoryA(current);
    SetEnvironmentVariableA("PATH", path.c_str());
    MoveFileA(aside.c_str(), beside.c_str());
}

}  // namespace
