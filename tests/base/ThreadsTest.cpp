// The worker thread's stop protocol: asked first, terminated at the limit.
#include <gtest/gtest.h>

#include "base/WorkerThread.h"

static unsigned __stdcall Forever(void*) { for (;;) Sleep(1000); }
static unsigned __stdcall UntilAsked(void* thread) {
    return static_cast<WorkerThread*>(thread)->StopRequested(INFINITE) ? 7 : 0;
}

// Stops the thread with `limit`: how the thread ended, and in `waited` how long Stop took.
static DWORD StopAndWatch(WorkerThread& thread, int limit, DWORD* waited) {
    HANDLE watch = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, thread.ThreadId());
    DWORD started = GetTickCount(), code = STILL_ACTIVE;
    thread.Stop(limit);
    *waited = GetTickCount() - started;
    if (WaitForSingleObject(watch, 5000) == WAIT_OBJECT_0) GetExitCodeThread(watch, &code);
    CloseHandle(watch);
    return code;
}

TEST(WorkerThread, StopAsksFirstAndTerminatesAtTheLimit) {
    WorkerThread polite, stuck;
    DWORD waited = 0;
    ASSERT_TRUE(polite.Start(UntilAsked, &polite) && stuck.Start(Forever, nullptr));
    EXPECT_TRUE(polite.IsRunning() && stuck.IsRunning());
    EXPECT_TRUE(StopAndWatch(polite, 3000, &waited) == 7 && waited < 1000) << waited;  // it ended by itself, at once
    // Terminated at the limit, not before.
    EXPECT_TRUE(StopAndWatch(stuck, 300, &waited) == 0xFFFFFFFF && waited >= 250 && waited < 2000) << waited;
    EXPECT_FALSE(polite.IsRunning() || stuck.IsRunning());
    polite.Stop(3000);  // stopping again is harmless
}
