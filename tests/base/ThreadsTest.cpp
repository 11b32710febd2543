// Events, the worker thread's stop protocol and the modifier keys.
#include <gtest/gtest.h>

#include "base/InputHelpers.h"
#include "base/SyncEvent.h"
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

TEST(SyncEvent, ManualStaysSignalledAutoServesOneWaitClosedFailsAtOnce) {
    SyncEvent manual, automatic;
    ASSERT_TRUE(manual.Create() && automatic.Create(false, true));  // manual unsignalled, automatic signalled
    EXPECT_FALSE(manual.Wait(0));
    EXPECT_TRUE(manual.Set() && manual.Wait(0) && manual.Wait(0));
    EXPECT_TRUE(manual.Reset() && !manual.Wait(0));
    EXPECT_TRUE(automatic.Wait(0) && !automatic.Wait(0));
    manual.Close();
    EXPECT_EQ(nullptr, manual.Handle());
    DWORD started = GetTickCount();
    EXPECT_FALSE(manual.Wait(2000));
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_FALSE(manual.Set() || manual.Reset());
}

TEST(WorkerThread, StartAndStopAskFirstAndTerminateAtTheLimit) {
    WorkerThread polite, stuck;
    ASSERT_TRUE(polite.Start(UntilAsked, &polite) && stuck.Start(Forever, nullptr));
    DWORD first = polite.ThreadId(), code = 0, waited = 0;
    HANDLE watch = OpenThread(THREAD_QUERY_INFORMATION, FALSE, first);
    ASSERT_TRUE(polite.Start(UntilAsked, &polite));
    EXPECT_TRUE(first != polite.ThreadId() && GetExitCodeThread(watch, &code) && code == 7)
        << "starting again did not stop the running thread first";
    CloseHandle(watch);
    EXPECT_TRUE(polite.IsRunning() && stuck.IsRunning());
    EXPECT_EQ(7u, StopAndWatch(polite, 3000, &waited));  // it ended by itself...
    EXPECT_LT(waited, 1000u);                            // ...at once
    EXPECT_EQ(0xFFFFFFFFu, StopAndWatch(stuck, 300, &waited));  // terminated...
    EXPECT_TRUE(waited >= 250 && waited < 2000) << waited;      // ...at the limit, not before
    EXPECT_FALSE(polite.IsRunning() || stuck.IsRunning());
    polite.Stop(3000);  // stopping again is harmless
}

TEST(InputHelpers, ModifierKeysFollowTheKeyboardState) {
    BYTE saved[256] = {}, keys[256] = {};
    GetKeyboardState(saved);
    keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(unsigned(kModifierCtrl | kModifierShift), GetModifierKeys());
    SetKeyboardState(saved);
    EXPECT_EQ(0u, GetModifierKeys() & kModifierCtrl);
}
