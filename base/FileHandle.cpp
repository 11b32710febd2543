#include "base/FileHandle.h"

bool FileHandle::Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD attributes) {
    Close();
    handle_ = CreateFileA(path, access, share, nullptr, disposition, attributes, nullptr);
    return IsOpen();
}

int FileHandle::Close() {
    if (!IsOpen()) return -1;
    int result = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    eof_ = false;
    return result;
}

bool FileHandle::Read(void* buffer, DWORD count, DWORD* bytesRead) {
    DWORD got = 0;
    if (bytesRead) *bytesRead = 0;
    if (!ReadFile(handle_, buffer, count, &got, nullptr)) return false;
    if (got == 0) eof_ = true;
    if (bytesRead) *bytesRead = got;
    return true;
}

bool FileHandle::Write(const void* buffer, DWORD count, DWORD* bytesWritten) {
    DWORD put = 0;
    if (bytesWritten) *bytesWritten = 0;
    if (!WriteFile(handle_, buffer, count, &put, nullptr)) return false;
    if (bytesWritten) *bytesWritten = put;
    return true;
}

bool FileHandle::Seek(LONG offset, DWORD origin) {
    eof_ = false;
    return SetFilePointer(handle_, offset, nullptr, origin) != INVALID_SET_FILE_POINTER;
}

bool FileHandle::Seek64(LONG low, LONG high, DWORD origin) {
    eof_ = false;
    return SetFilePointer(handle_, low, &high, origin) != INVALID_SET_FILE_POINTER;
}

DWORD FileHandle::GetSize() const { return GetFileSize(handle_, nullptr); }

int64_t FileHandle::GetSize64() const {
    DWORD high = 0;
    DWORD low = GetFileSize(handle_, &high);
    if (low == INVALID_FILE_SIZE) return -1;
    return (static_cast<int64_t>(high) << 32) | low;
}

DWORD FileHandle::Tell() const { return SetFilePointer(handle_, 0, nullptr, FILE_CURRENT); }

int64_t FileHandle::Tell64() const {
    LONG high = 0;
    DWORD low = SetFilePointer(handle_, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
    return (static_cast<int64_t>(high) << 32) | low;
}
