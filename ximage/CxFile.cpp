#include "ximage/CxFile.h"

#include <cstdlib>
#include <cstring>

CxFile::~CxFile() = default;

CxIOFile::CxIOFile(FILE* file) : file_(file) {}

CxIOFile::~CxIOFile() { Close(); }

bool CxIOFile::Open(const char* path, const char* mode) {
    Close();
    file_ = fopen(path, mode);
    owned_ = file_ != nullptr;
    return file_ != nullptr;
}

bool CxIOFile::Close() {
    bool ok = true;
    if (file_ && owned_) ok = fclose(file_) == 0;
    file_ = nullptr;
    owned_ = false;
    return ok;
}

size_t CxIOFile::Read(void* buffer, size_t size, size_t count) { return file_ ? fread(buffer, size, count, file_) : 0; }

size_t CxIOFile::Write(const void* buffer, size_t size, size_t count) {
    return file_ ? fwrite(buffer, size, count, file_) : 0;
}

bool CxIOFile::Seek(int32_t offset, int origin) { return file_ && fseek(file_, offset, origin) == 0; }

int32_t CxIOFile::Tell() { return file_ ? ftell(file_) : -1; }

int32_t CxIOFile::Size() {
    if (!file_) return -1;
    long position = ftell(file_);
    fseek(file_, 0, SEEK_END);
    long size = ftell(file_);
    fseek(file_, position, SEEK_SET);
    return size;
}

bool CxIOFile::Flush() { return file_ && fflush(file_) == 0; }

bool CxIOFile::Eof() { return !file_ || feof(file_) != 0; }

int32_t CxIOFile::Error() { return file_ ? ferror(file_) : -1; }

bool CxIOFile::PutC(unsigned char c) { return file_ && fputc(c, file_) != EOF; }

int32_t CxIOFile::GetC() { return file_ ? getc(file_) : EOF; }

CxMemFile::CxMemFile(uint8_t* buffer, uint32_t size)
    : buffer_(buffer), size_(buffer ? size : 0), capacity_(buffer ? size : 0), owned_(buffer == nullptr) {}

CxMemFile::~CxMemFile() { Close(); }

bool CxMemFile::Open() {
    if (buffer_) return false;
    owned_ = true;
    size_ = capacity_ = position_ = 0;
    return true;
}

uint8_t* CxMemFile::GetBuffer(bool detach) {
    if (detach) owned_ = false;
    return buffer_;
}

bool CxMemFile::Close() {
    if (owned_) free(buffer_);
    buffer_ = nullptr;
    size_ = capacity_ = position_ = 0;
    owned_ = true;
    return true;
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count) {
    if (size == 0 || count == 0) return 0;
    if (position_ >= size_) {
        eof_ = true;
        return 0;
    }
    size_t wanted = size * count;
    if (wanted / size != count) return 0;
    size_t available = size_ - position_;
    if (wanted > available) {
        eof_ = true;
        wanted = available - available % size;
    }
    memcpy(buffer, buffer_ + position_, wanted);
    position_ += wanted;
    return wanted / size;
}

bool CxMemFile::Reserve(size_t size) {
    if (size <= capacity_) return true;
    if (!owned_) return false;  // a caller's buffer never grows
    size_t grown = capacity_ < 4096 ? 4096 : capacity_;
    while (grown < size) grown *= 2;
    auto* bigger = static_cast<uint8_t*>(realloc(buffer_, grown));
    if (!bigger) return false;
    buffer_ = bigger;
    capacity_ = grown;
    return true;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count) {
    if (size == 0 || count == 0) return 0;
    size_t wanted = size * count;
    if (wanted / size != count || position_ + wanted < position_) return 0;
    if (!Reserve(position_ + wanted)) return 0;
    memcpy(buffer_ + position_, buffer, wanted);
    position_ += wanted;
    if (position_ > size_) size_ = position_;
    return count;
}

bool CxMemFile::Seek(int32_t offset, int origin) {
    int64_t base = origin == SEEK_CUR ? static_cast<int64_t>(position_)
                   : origin == SEEK_END ? static_cast<int64_t>(size_)
                                        : 0;
    int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(size_)) return false;
    position_ = static_cast<size_t>(target);
    eof_ = false;
    return true;
}

int32_t CxMemFile::Tell() { return static_cast<int32_t>(position_); }

int32_t CxMemFile::Size() { return static_cast<int32_t>(size_); }

bool CxMemFile::Flush() { return true; }

bool CxMemFile::Eof() { return eof_ || position_ >= size_; }

int32_t CxMemFile::Error() { return 0; }

bool CxMemFile::PutC(unsigned char c) { return Write(&c, 1, 1) == 1; }

int32_t CxMemFile::GetC() {
    unsigned char c;
    return Read(&c, 1, 1) == 1 ? c : EOF;
}
