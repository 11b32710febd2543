// The external frame grabber beside the player simulator, run exactly as the plug-in runs it, on
// real videos made by the library generator. Each frame of those shows its time above a bar that
// is as full as the frame is far into the video: the bar tells which second was grabbed.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TempFolder.h"
#include "ximage/CxImage.h"

namespace {

constexpr int kClipSeconds = 20;  // the generated clips
constexpr int kBarLeft = 8, kBarRight = 312, kBarRow = 171;  // in the 320 x 180 frame

struct GrabberRun {
    DWORD exitCode = 99;
    std::string output;  // the output file's bytes afterwards
};

GrabberRun Grab(const std::string& input, const std::string& seconds, const std::string& tail = "-vframes 1 -an -y") {
    GrabberRun run;
    std::string output = MakeTempFileName("THM");
    std::string command = "ffmpeg_vx.exe -i \"" + input + "\" -f mjpeg -ss " + seconds + " " + tail + " \"" +
                          output + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        // The plug-in waits five seconds, no more.
        if (WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    run.output = ReadWholeFile(output);
    DeleteFileA(output.c_str());
    return run;
}

// The second of a clip that a frame shows, read from its bar; -1 when it is not a clip's frame.
int SecondShown(const std::string& jpeg) {
    CxImage frame;
    if (!frame.Decode(reinterpret_cast<const uint8_t*>(jpeg.data()), static_cast<uint32_t>(jpeg.size()),
                      CXIMAGE_FORMAT_JPG) ||
        frame.GetWidth() != 320 || frame.GetHeight() != 180)
        return -1;
    int filled = kBarLeft;
    for (int x = kBarLeft; x < kBarRight; ++x) {
        RGBQUAD c = frame.GetPixelColor(x, kBarRow);
        if (c.rgbRed > 200 && c.rgbGreen > 200 && c.rgbBlue > 200) filled = x + 1;
    }
    double done = double(filled - kBarLeft) / (kBarRight - kBarLeft);
    return static_cast<int>(done * kClipSeconds + 0.5);
}

TEST(FrameGrabber, DecodesTheAskedSecondOfEachContainer) {
    struct Case {
        const char* clip;
        const char* seconds;
        int shown;
    } cases[] = {
        {"clip.avi", "5", 5}, {"clip.mkv", "5", 5}, {"clip.mp4", "5", 5}, {"clip.mov", "5", 5},
        {"clip.avi", "12", 12},
        {"clip.mkv", "30", kClipSeconds / 2},  // past the end: the middle
    };
    for (const Case& c : cases) {
        GrabberRun run = Grab(std::string(TEST_MEDIA_DIR "\\") + c.clip, c.seconds);
        EXPECT_EQ(0u, run.exitCode) << c.clip << " at " << c.seconds;
        EXPECT_EQ(c.shown, SecondShown(run.output)) << c.clip << " at " << c.seconds;
    }
}

TEST(FrameGrabber, WhatItCannotDecodeLeavesTheOutputEmpty) {
    TempFolder folder;
    std::string whole = ReadWholeFile(TEST_MEDIA_DIR "\\clip.avi");
    struct Case {
        const char* what;
        std::string input, tail;
        DWORD exitCode;
    } cases[] = {
        {"cut inside its first frame", folder.Write("cut.avi", whole.substr(0, 2500)), "-vframes 1 -an -y", 1},
        {"text named like a video", folder.Write("notes.avi", "Pack the tripod.\r\n"), "-vframes 1 -an -y", 1},
        {"an empty file", folder.Write("empty.avi", ""), "-vframes 1 -an -y", 1},
        {"no file", folder / "gone.avi", "-vframes 1 -an -y", 1},
        {"another command line", TEST_MEDIA_DIR "\\clip.avi", "-vframes 2 -an -y", 2},
    };
    for (const Case& c : cases) {
        GrabberRun run = Grab(c.input, "5", c.tail);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.what;
        EXPECT_EQ("", run.output) << c.what;
    }
}

}  // namespace
