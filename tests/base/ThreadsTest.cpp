#include <gtest/gtest.h>

#include "base/InputHelpers.h"
#include "base/SyncEvent.h"
#include "base/WorkerThread.h"

namespace {

unsigned __stdcall Forever(void*) {
    for (;;) Sleep(1000);
}

struct Polite {
    WorkerThread* thread;
    LONG rounds;
};

unsigned __stdcall UntilAsked(void* argument) {
    auto* state = static_cast<Polite*>(argument);
    while (!state->thread->StopRequested(5)) InterlockedIncrement(&state->rounds);
    return 7;
}

}  // namespace

TEST(SyncEvent, WaitOnClosedEventFailsAtOnce) {
    SyncEvent event;
    DWORD started = GetTickCount();
    EXPECT_FALSE(event.Wait(2000));
    EXPECT_LT(GetTickCount() - started, 500u);
    EXPECT_EQ(0, event.Set());
    EXPECT_EQ(0, event.Reset());
}

TEST(SyncEvent, ManualResetStaysSignalledUntilReset) {
    SyncEvent event;
    ASSERT_TRUE(event.Create());
    EXPECT_FALSE(event.Wait(0));
    EXPECT_NE(0, event.Set());
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
    event.Close();
    EXPECT_EQ(nullptr, event.Handle());
}

TEST(SyncEvent, AutoResetIsConsumedByOneWait) {
    SyncEvent event;
    ASSERT_TRUE(event.Create(false, true));
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(0));
}

TEST(WorkerThread, StopTerminatesAThreadThatNeverEndsAtItsLimit) {
    WorkerThread thread;
    ASSERT_TRUE(thread.Start(Forever, nullptr));
    EXPECT_TRUE(thread.IsRunning());
    DWORD started = GetTickCount();
    thread.Stop(300);
    DWORD waited = GetTickCount() - started;
    EXPECT_GE(waited, 290u);
    EXPECT_LT(waited, 1000u);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(WorkerThread, StopEndsAPoliteThreadAtOnce) {
    WorkerThread thread;
    Polite state = {&thread, 0};
    ASSERT_TRUE(thread.Start(UntilAsked, &state));
    while (InterlockedCompareExchange(&state.rounds, 0, 0) < 2) Sleep(1);
    DWORD started = GetTickCount();
    thread.Stop(3000);
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_FALSE(thread.IsRunning());
    thread.Stop(3000);  // stopping again is harmless
}

TEST(WorkerThread, StartAgainReplacesTheRunningThread) {
    WorkerThread thread;
    Polite state = {&thread, 0};
    ASSERT_TRUE(thread.Start(UntilAsked, &state));
    DWORD first = thread.ThreadId();
    ASSERT_TRUE(thread.Start(UntilAsked, &state));
    EXPECT_NE(first, thread.ThreadId());
    thread.Stop(3000);
}

TEST(InputHelpers, ModifierKeysFollowTheKeyboardState) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE saved[256];
    memcpy(saved, keys, sizeof(keys));
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = 0x80;
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(unsigned(kModifierCtrl | kModifierShift), GetModifierKeys());
    SetKeyboardState(saved);
    EXPECT_EQ(0u, GetModifierKeys() & kModifierCtrl);
}
