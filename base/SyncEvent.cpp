#include "base/SyncEvent.h"

bool SyncEvent::Create(bool manualReset, bool initiallySignalled) {
    Close();
    handle_ = CreateEventA(nullptr, manualReset, initiallySignalled, nullptr);
    return handle_ != nullptr;
}

void SyncEvent::Close() {
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
}

BOOL SyncEvent::Set() { return handle_ ? SetEvent(handle_) : 0; }

BOOL SyncEvent::Reset() { return handle_ ? ResetEvent(handle_) : 0; }

bool SyncEvent::Wait(DWORD milliseconds) {
    return handle_ && WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
}
