#include "base/WorkerThread.h"

#include <process.h>

namespace {
constexpr int kRestartStopLimit = 100;
constexpr DWORD kPollInterval = 10;
constexpr DWORD kTerminatedExitCode = 0xFFFFFFFF;
}  // namespace

bool WorkerThread::Start(Procedure procedure, void* argument) {
    if (IsRunning()) Stop(kRestartStopLimit);
    threadId_ = 0;
    handle_ = nullptr;
    if (!stop_.Create(false, false)) return false;

    unsigned id = 0;
    uintptr_t thread = _beginthreadex(nullptr, 0, procedure, argument, 0, &id);
    if (!thread) {
        stop_.Close();
        return false;
    }
    handle_ = reinterpret_cast<HANDLE>(thread);
    threadId_ = id;
    return true;
}

void WorkerThread::Stop(int limitMs) {
    if (!IsRunning()) return;
    stop_.Set();
    ULONGLONG started = GetTickCount64();
    DWORD code = 0;
    while (GetExitCodeThread(handle_, &code) && code == STILL_ACTIVE) {
        if (limitMs > 0 && GetTickCount64() - started >= static_cast<ULONGLONG>(limitMs)) {
            TerminateThread(handle_, kTerminatedExitCode);
            break;
        }
        Sleep(kPollInterval);
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    threadId_ = 0;
    stop_.Close();
}

void WorkerThread::SetPriority(int priority) {
    if (IsRunning()) SetThreadPriority(handle_, priority);
}
