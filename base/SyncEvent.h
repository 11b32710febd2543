// One Win32 event; the handle is null while closed.
#pragma once

#include <windows.h>

class SyncEvent {
public:
    SyncEvent() = default;
    ~SyncEvent() { Close(); }
    SyncEvent(const SyncEvent&) = delete;
    SyncEvent& operator=(const SyncEvent&) = delete;

    bool Create() { return Create(true, false); }
    bool Create(bool manualReset, bool initiallySignalled);
    void Close();
    BOOL Set();
    BOOL Reset();
    // True only when the event was signalled within the time; false on time-out, on a failed
    // wait and when there is no event.
    bool Wait(DWORD milliseconds);

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};
