// A Win32 file handle behind the stream interface that readers of cache and media files share.
#pragma once

#include <windows.h>

#include <cstdint>

class FileHandleBase {
public:
    virtual ~FileHandleBase() = default;
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool Read(void* buffer, DWORD count, DWORD* bytesRead) = 0;
    virtual bool Seek(LONG offset, DWORD origin) = 0;
    virtual bool Seek64(LONG low, LONG high, DWORD origin) = 0;
    virtual DWORD GetSize() const = 0;
    virtual int64_t GetSize64() const = 0;
    virtual DWORD Tell() const = 0;
    virtual int64_t Tell64() const = 0;
    virtual bool IsEof() const = 0;
    virtual int Error() const = 0;
};

class FileHandle : public FileHandleBase {
public:
    FileHandle() = default;
    ~FileHandle() override { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Closes first; access, share, disposition and attributes go to CreateFileA unchanged.
    bool Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD attributes);
    // The result of CloseHandle, or -1 when nothing was open.
    int Close() override;
    bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    // Fails only when ReadFile fails; a read of no bytes sets eof and still succeeds.
    bool Read(void* buffer, DWORD count, DWORD* bytesRead) override;
    bool Write(const void* buffer, DWORD count, DWORD* bytesWritten);
    bool Seek(LONG offset, DWORD origin) override;
    bool Seek64(LONG low, LONG high, DWORD origin) override;
    DWORD GetSize() const override;
    int64_t GetSize64() const override;  // -1 when the size cannot be read
    DWORD Tell() const override;
    int64_t Tell64() const override;  // -1 on failure
    bool IsEof() const override { return eof_; }
    int Error() const override { return 0; }

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool eof_ = false;
};
