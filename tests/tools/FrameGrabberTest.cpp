// The external frame grabber, run exactly as the plug-in runs it, on videos made by the library
// generator: each frame shows a bar as full as the frame is far into the video.
#include <windows.h>
#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

constexpr int kClipSeconds = 20;  // the generated clips
constexpr int kBarLeft = 8, kBarRight = 312, kBarRow = 171;  // in the 320 x 180 frame

// The exit code (99: it did not run, or not end in the five seconds the plug-in waits) and the output.
struct GrabberRun { DWORD exitCode = 99; std::string output; };

GrabberRun Grab(const std::string& input, const std::string& seconds, const std::string& tail) {
    GrabberRun run;
    std::string output = MakeTempFileName("THM");
    std::string command = "ffmpeg_vx.exe -i \"" + input + "\" -f mjpeg -ss " + seconds + " " + tail;
    command += " \"" + output + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    run.output = ReadWholeFile(output);
    DeleteFileA(output.c_str());
    return run;
}

// The second of a clip that a frame shows, read from its bar; -1 for no frame at all, -2 for another picture.
int SecondShown(const std::string& jpeg) {
    if (jpeg.empty()) return -1;
    CxImage frame;
    if (!frame.Decode(reinterpret_cast<const uint8_t*>(jpeg.data()), static_cast<uint32_t>(jpeg.size()),
                      CXIMAGE_FORMAT_JPG) || frame.GetWidth() != 320 || frame.GetHeight() != 180)
        return -2;
    int filled = kBarLeft;
    for (int x = kBarLeft; x < kBarRight; ++x) {
        RGBQUAD c = frame.GetPixelColor(x, kBarRow);
        if (c.rgbRed > 200 && c.rgbGreen > 200 && c.rgbBlue > 200) filled = x + 1;
    }
    return static_cast<int>(double(filled - kBarLeft) / (kBarRight - kBarLeft) * kClipSeconds + 0.5);
}

}  // namespace

// The asked second of each container (past the end: the middle); nothing for what it cannot decode.
TEST(FrameGrabber, DecodesTheAskedSecondOrLeavesTheOutputEmpty) {
    TempFolder folder;
    const std::string clips = TEST_MEDIA_DIR "\\", one = "-vframes 1 -an -y", whole = ReadWholeFile(clips + "clip.avi");
    // shown: the second that the output frame shows; -1 for no output at all
    const struct { std::string input, seconds, tail; DWORD exitCode; int shown; } cases[] = {
        {clips + "clip.avi", "5", one, 0, 5}, {clips + "clip.mkv", "5", one, 0, 5},
        {clips + "clip.mp4", "5", one, 0, 5}, {clips + "clip.mov", "5", one, 0, 5},
        {clips + "clip.avi", "12", one, 0, 12}, {clips + "clip.mkv", "30", one, 0, kClipSeconds / 2},
        {folder.Write("cut.avi", whole.substr(0, 2500)), "5", one, 1, -1},  // cut inside its first frame
        {folder.Write("notes.avi", "Pack the tripod.\r\n"), "5", one, 1, -1},  // text named like a video
        {folder.Write("empty.avi", ""), "5", one, 1, -1},
        {folder / "gone.avi", "5", one, 1, -1},
        {clips + "clip.avi", "5", "-vframes 2 -an -y", 2, -1},  // not the plug-in's command line
    };
    for (const auto& c : cases) {
        GrabberRun run = Grab(c.input, c.seconds, c.tail);
        EXPECT_EQ(std::make_pair(c.exitCode, c.shown), std::make_pair(run.exitCode, SecondShown(run.output)))
            << c.input << " at " << c.seconds << " " << c.tail;
    }
}
