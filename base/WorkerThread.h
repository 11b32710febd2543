// One background thread with a stop event and a lock that the thread and its owner share.
#pragma once

#include <windows.h>

#include "base/CriticalSection.h"
#include "base/SyncEvent.h"

class WorkerThread {
public:
    using Procedure = unsigned(__stdcall*)(void* argument);

    WorkerThread() = default;
    ~WorkerThread() { Stop(kDefaultStopLimit); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    static constexpr int kDefaultStopLimit = 3000;

    // Stops a running thread first (100 ms limit), then starts `procedure(argument)`.
    bool Start(Procedure procedure, void* argument);
    bool IsRunning() const { return handle_ != nullptr; }
    // Signals the stop event and polls every 10 ms; at `limitMs` (never, when 0 or less) the
    // thread is terminated.
    void Stop(int limitMs);
    // The shared lock, held until the returned guard's scope ends.
    [[nodiscard]] CriticalSectionLock Hold() const { return CriticalSectionLock(lock_); }
    // For the thread procedure: true once Stop was called. The event is auto-reset.
    bool StopRequested(DWORD milliseconds) { return stop_.Wait(milliseconds); }
    void SetPriority(int priority);

    DWORD ThreadId() const { return threadId_; }

private:
    DWORD threadId_ = 0;
    HANDLE handle_ = nullptr;
    mutable CriticalSection lock_;
    SyncEvent stop_;
};
