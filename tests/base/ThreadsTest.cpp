// The worker thread's stop protocol: asked first, terminated at the limit; a new start stops the
// thread still running with a limit of 100 ms.
#include <gtest/gtest.h>

#include "base/WorkerThread.h"

namespace {

unsigned __stdcall Forever(void*) { for (;;) Sleep(1000); }
unsigned __stdcall UntilAsked(void* t) { return static_cast<WorkerThread*>(t)->StopRequested(INFINITE) ? 7 : 0; }
constexpr DWORD kTerminated = 0xFFFFFFFF;

}  // namespace

TEST(WorkerThread, StopAsksFirstAndTerminatesAtTheLimit) {
    // limit 0: stopped by a second Start; the thread's exit code, and how long the stop took
    struct Case { const char* what; WorkerThread::Procedure procedure; int limit; DWORD code, atLeastMs, belowMs; };
    const Case cases[] = {
        {"asked: it ends by itself, at once", UntilAsked, 3000, 7, 0, 1000},
        {"never ending: terminated at the limit, not before", Forever, 300, kTerminated, 250, 2000},
        {"a second start: terminated at 100 ms", Forever, 0, kTerminated, 90, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WorkerThread thread;
        ASSERT_TRUE(thread.Start(c.procedure, &thread));
        HANDLE watch = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, thread.ThreadId());
        DWORD started = GetTickCount(), code = STILL_ACTIVE;
        if (c.limit)
            thread.Stop(c.limit);
        else
            thread.Start(UntilAsked, &thread);
        DWORD waited = GetTickCount() - started;
        if (WaitForSingleObject(watch, 5000) == WAIT_OBJECT_0) GetExitCodeThread(watch, &code);
        CloseHandle(watch);
        EXPECT_EQ(c.code, code);
        EXPECT_TRUE(waited >= c.atLeastMs && waited < c.belowMs) << waited;
    }
}
