// Frames of video files: through the system's media stack first, then from the external frame grabber.
#include "thumbs/FrameGrab.h"

#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Files.h"
#include "base/OwnedHandle.h"
#include "base/Paths.h"
#include "thumbs/MediaProbe.h"
#include "ximage/CxImage.h"

namespace {

constexpr char kGrabberCommand[] = "ffmpeg_vx.exe -i \"%s\" -f mjpeg -ss %d -vframes 1 -an -y \"%s\"";
constexpr int kGrabberSeekSecond = 5;
constexpr DWORD kGrabberTimeoutMs = 5000;
constexpr char kTempPrefix[] = "THM";
constexpr char kGrabberName[] = "ffmpeg_vx.exe";
constexpr DWORD kGrabberEndWaitMs = 2000;  // for a grabber given up on to end
constexpr UINT kGivenUpExitCode = 1;

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

// The grab through the media stack, on its own thread. `stopped`: the thread's cancel event ended
// the wait; `hung`: the stack did not answer in time.
HBITMAP GrabFrameOffThread(const char* path, double time, bool* stopped, bool* hung) {
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
    DWORD waited = WaitForMultipleObjects(g_cancel ? 2 : 1, waits, FALSE, kGrabberTimeoutMs);
    CloseHandle(thread);
    InterlockedExchange(&g_stuck, 1);
    if (InterlockedDecrement(&grab->owners) != 0) {
        // Still in the media stack: the player's decoders must not go on believing a grab runs.
        *stopped = waited == WAIT_OBJECT_0 + 1;
        *hung = !*stopped;
        SetConvertingFlag(false);
        return nullptr;
    }
    InterlockedExchange(&g_stuck, 0);
    HBITMAP bitmap = grab->bitmap;
    delete grab;
    return bitmap;
}

bool StopAsked() { return g_cancel && WaitForSingleObject(g_cancel, 0) == WAIT_OBJECT_0; }

bool IsProgramFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Where "ffmpeg_vx.exe" is, as a full path; empty when it is nowhere we look.
std::string FindFrameGrabber() {
    std::vector<std::string> folders;
    char buffer[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.push_back(GetFolderPart(std::string(buffer, length)));
    length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.emplace_back(buffer, length);
    length = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.emplace_back(buffer, length);
    std::string path(GetEnvironmentVariableA("PATH", nullptr, 0), '\0');
    length = path.empty() ? 0 : GetEnvironmentVariableA("PATH", &path[0], static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    for (std::string& folder : AbsoluteEntries(path)) folders.push_back(std::move(folder));
    for (const std::string& folder : folders) {
        std::string program = AppendPath(folder, kGrabberName);
        if (IsProgramFile(program)) return program;
    }
    return std::string();
}

}  // namespace

void SetExtractionCancelEvent(HANDLE event) { g_cancel = event; }

GrabOutcome GrabFrame(const char* path, double time, CxImage& image) {
    if (StopAsked()) return GrabOutcome::Stopped;
    if (!FileExists(path)) return GrabOutcome::Failed;
    bool stopped = false, hung = false;
    HBITMAP bitmap = GrabFrameOffThread(path, time, &stopped, &hung);
    if (!bitmap) bitmap = GrabFrameExternal(path, &stopped);
    if (!bitmap) return stopped && !hung ? GrabOutcome::Stopped : GrabOutcome::Failed;
    bool filled = image.CreateFromHBITMAP(bitmap, nullptr);
    DeleteObject(bitmap);
    return filled ? GrabOutcome::Frame : GrabOutcome::Failed;
}

HBITMAP GrabFrameExternal(const char* path, bool* stopped) {
    if (stopped) *stopped = false;
    // Once a stop is asked for, no grabber starts.
    if (StopAsked()) {
        if (stopped) *stopped = true;
        return nullptr;
    }
    std::string program = FindFrameGrabber();
    if (program.empty()) return nullptr;
    std::string output = MakeTempFileName(kTempPrefix);
    if (output.empty()) return nullptr;

    int length = snprintf(nullptr, 0, kGrabberCommand, path, kGrabberSeekSecond, output.c_str());
    std::string command(static_cast<size_t>(length) + 1, '\0');
    snprintf(&command[0], command.size(), kGrabberCommand, path, kGrabberSeekSecond, output.c_str());

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    // Started held, so that it runs only inside its job; it needs none of our handles.
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info)) {
        DeleteFileA(output.c_str());
        return nullptr;
    }
    OwnedHandle process(info.hProcess), thread(info.hThread);
    // Closing the job ends the grabber. A player that itself runs in a job may not give it one of
    // its own (before Windows 8); it is then ended directly.
    OwnedHandle job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)) ||
        !AssignProcessToJobObject(job.get(), process.get()))
        job.reset();
    ResumeThread(thread.get());

    HANDLE waits[] = {process.get(), g_cancel};
    DWORD waited = WaitForMultipleObjects(g_cancel ? 2 : 1, waits, FALSE, kGrabberTimeoutMs);
    if (waited != WAIT_OBJECT_0) {
        if (stopped) *stopped = waited == WAIT_OBJECT_0 + 1;
        if (job) job.reset();
        else TerminateProcess(process.get(), kGivenUpExitCode);
        // Its output goes once it has let go of it.
        WaitForSingleObject(process.get(), kGrabberEndWaitMs);
        DeleteFileA(output.c_str());
        return nullptr;
    }

    HBITMAP bitmap = nullptr;
    if (FileExists(output.c_str())) {
        CxImage frame;
        if (frame.Load(output.c_str())) bitmap = frame.MakeBitmap(nullptr);
    }
    DeleteFileA(output.c_str());
    return bitmap;
}
