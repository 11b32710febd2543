// Frames of video files: through the system's media stack first, then from the external frame grabber.
#include <objbase.h>

#include <cstdio>
#include <string>

#include "base/Files.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kGrabberCommand[] = "ffmpeg_vx.exe -i \"%s\" -f mjpeg -ss %d -vframes 1 -an -y \"%s\"";
constexpr int kGrabberSeekSecond = 5;
constexpr DWORD kGrabberTimeoutMs = 5000;
constexpr char kTempPrefix[] = "THM";

thread_local HANDLE g_cancel = nullptr;

// The media stack runs in this process and can hang on a broken file (Wine's does on an AVI cut
// short). Its grab therefore runs on a thread of its own, waited for as long as the external
// program would be. A thread that does not come back is left behind, holding this module so
// that it is never unloaded under it, and no other grab goes that way while it is stuck.
struct MediaStackGrab {
    std::string path;
    double time;
    HBITMAP bitmap = nullptr;
    LONG owners = 2;  // the thread and its waiter: whoever lets go last cleans up
};
LONG g_stuck = 0;

DWORD WINAPI MediaStackThread(void* param) {
    auto* grab = static_cast<MediaStackGrab*>(param);
    HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // it has no message loop
    try {
        grab->bitmap = GrabFrameDirectShow(grab->path.c_str(), grab->time);
    } catch (...) {
        grab->bitmap = nullptr;  // a grab that throws gives no frame; the thread ends as ever
        SetConvertingFlag(false);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    if (InterlockedDecrement(&grab->owners) == 0) {  // the waiter gave up on it
        if (grab->bitmap) DeleteObject(grab->bitmap);
        delete grab;
        InterlockedExchange(&g_stuck, 0);
    }
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&MediaStackThread), &self);
    FreeLibraryAndExitThread(self, 0);
}

HBITMAP GrabFrameOffThread(const char* path, double time) {
    HMODULE self = nullptr;
    if (InterlockedCompareExchange(&g_stuck, 0, 0) || MediaDetectorCannotGrab() ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&MediaStackThread),
                            &self))
        return nullptr;
    auto* grab = new MediaStackGrab{path, time};
    HANDLE thread = CreateThread(nullptr, 0, MediaStackThread, grab, 0, nullptr);
    if (!thread) {
        FreeLibrary(self);
        delete grab;
        return nullptr;
    }
    HANDLE waits[] = {thread, g_cancel};
    WaitForMultipleObjects(g_cancel ? 2 : 1, waits, FALSE, kGrabberTimeoutMs);
    CloseHandle(thread);
    InterlockedExchange(&g_stuck, 1);
    if (InterlockedDecrement(&grab->owners) != 0) return nullptr;  // still in the media stack
    InterlockedExchange(&g_stuck, 0);
    HBITMAP bitmap = grab->bitmap;
    delete grab;
    return bitmap;
}

}  // namespace

void SetExtractionCancelEvent(HANDLE event) { g_cancel = event; }

bool GrabFrame(const char* path, double time, CxImage& image) {
    if (!FileExists(path)) return false;
    HBITMAP bitmap = GrabFrameOffThread(path, time);
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
