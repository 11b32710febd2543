// Frames of video files: through the system's media stack first, then from the external frame grabber.
#include <cstdio>
#include <string>

#include "base/Files.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kGrabberCommand[] = "ffmpeg_vx.exe -i \"%s\" -f mjpeg -ss %d -vframes 1 -an -y \"%s\"";
constexpr int kGrabberSeekSecond = 5;
constexpr DWORD kGrabberTimeoutMs = 5000;
constexpr char kTempPrefix[] = "THM";

thread_local HANDLE g_cancel = nullptr;

}  // namespace

void SetExtractionCancelEvent(HANDLE event) { g_cancel = event; }

bool GrabFrame(const char* path, double time, CxImage& image) {
    if (!FileExists(path)) return false;
    HBITMAP bitmap = GrabFrameDirectShow(path, time);
    if (!bitmap) bitmap = GrabFrameExternal(path);
    if (!bitmap) return false;
    bool filled = image.CreateFromHBITMAP(bitmap, nullptr);
    DeleteObject(bitmap);
    return filled;
}

HBITMAP GrabFrameExternal(const char* path) {
    std::string output = MakeTempFileName(kTempPrefix);
    if (output.empty()) return nullptr;

    int length = snprintf(nullptr, 0, kGrabberCommand, path, kGrabberSeekSecond, output.c_str());
    std::string command(static_cast<size_t>(length) + 1, '\0');
    snprintf(&command[0], command.size(), kGrabberCommand, path, kGrabberSeekSecond, output.c_str());

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                        &process)) {
        DeleteFileA(output.c_str());
        return nullptr;
    }
    // A grabber that hangs is left running: the frame is given up, not the program.
    HANDLE waits[] = {process.hProcess, g_cancel};
    WaitForMultipleObjects(g_cancel ? 2 : 1, waits, FALSE, kGrabberTimeoutMs);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    HBITMAP bitmap = nullptr;
    if (FileExists(output.c_str())) {
        CxImage frame;
        if (frame.Load(output.c_str())) bitmap = frame.MakeBitmap(nullptr);
        DeleteFileA(output.c_str());
    }
    return bitmap;
}
