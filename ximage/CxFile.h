// Byte streams that images are decoded from and encoded to: a C runtime file or memory.
#pragma once

#include <cstdint>
#include <cstdio>


class CxFile {
public:
    virtual ~CxFile();
    virtual bool Close() = 0;
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    virtual bool Seek(int32_t offset, int origin) = 0;  // SEEK_SET, SEEK_CUR, SEEK_END
    virtual int32_t Tell() = 0;
    virtual int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual int32_t Error() = 0;
    virtual bool PutC(unsigned char c) = 0;
    virtual int32_t GetC() = 0;  // EOF at the end
};

// Over a runtime-library FILE*: one the caller opened (and still owns), or one opened by Open.
class CxIOFile : public CxFile {
public:
    explicit CxIOFile(FILE* file = nullptr);
    ~CxIOFile() override;
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    bool Open(const char* path, const char* mode);
    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int32_t offset, int origin) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    bool PutC(unsigned char c) override;
    int32_t GetC() override;

private:
    FILE* file_;
    bool owned_ = false;
};

// Over memory: a caller's buffer of fixed size, or (with no buffer) one that grows as it is
// written and belongs to the stream until GetBuffer detaches it.
class CxMemFile : public CxFile {
public:
    CxMemFile(uint8_t* buffer = nullptr, uint32_t size = 0);
    ~CxMemFile() override;
    CxMemFile(const CxMemFile&) = delete;
    CxMemFile& operator=(const CxMemFile&) = delete;

    bool Open();  // starts an empty growing buffer
    // The data; with `detach` the caller owns it afterwards and frees it with free().
    uint8_t* GetBuffer(bool detach = true);

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int32_t offset, int origin) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    bool PutC(unsigned char c) override;
    int32_t GetC() override;

private:
    bool Reserve(size_t size);

    uint8_t* buffer_;
    size_t size_;
    size_t capacity_;
    size_t position_ = 0;
    bool owned_;
    bool eof_ = false;
};
