// The files a folder's thumbnail cache touches, behind a narrow interface: the system's, or a
// folder in memory under the fuzzer. Pure declarations: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CacheFileTime {
    uint32_t low = 0;
    uint32_t high = 0;
};

struct CacheListing {
    std::string path;
    CacheFileTime lastWrite;  // as the folder reports it
};

// What tells one state of a file from another: every write changes its size or its time.
struct CacheStamp {
    int64_t size = -1;
    CacheFileTime lastWrite;

    bool operator==(const CacheStamp& o) const {
        return size == o.size && lastWrite.low == o.lastWrite.low && lastWrite.high == o.lastWrite.high;
    }
    bool operator!=(const CacheStamp& o) const { return !(*this == o); }
};

class CacheStream {
public:
    virtual ~CacheStream() = default;
    virtual int64_t Size() = 0;  // -1 when it cannot be had
    virtual int64_t Tell() = 0;
    virtual bool Seek(int64_t offset) = 0;  // from the start
    virtual bool SeekEnd() = 0;
    // Reads up to `count` bytes; `got` is fewer at the end of the file.
    virtual bool Read(void* buffer, size_t count, size_t* got) = 0;
    // Writes all of them, or fails.
    virtual bool Write(const void* data, size_t count) = 0;
    // Puts what was written on the disk.
    virtual bool Commit() = 0;
    virtual CacheStamp Stamp() = 0;
    // A symbolic link or other reparse point, or a file with more than one name: what is written
    // through it may land in another file.
    virtual bool Linked() = 0;
};

class CacheFiles {
public:
    virtual ~CacheFiles() = default;
    // For reading and writing, shared with readers and deleters but refused to a second writer;
    // `create` makes a new file, and fails when one of that name exists. Links are not followed.
    virtual std::unique_ptr<CacheStream> OpenWriter(const std::string& path, bool create) = 0;
    // For reading only, shared with readers, writers and deleters.
    virtual std::unique_ptr<CacheStream> OpenReader(const std::string& path) = 0;
    virtual void Delete(const std::string& path) = 0;
    // Puts `from` in the place of `to` in one step, through to the disk; false when refused, and
    // `to` is then as it was.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // The folder's files (hidden and system ones left out), with the times it reports.
    virtual std::vector<CacheListing> List(const std::string& folder) = 0;
    // The file's own last-write time; 0 when it cannot be read.
    virtual CacheFileTime LastWrite(const std::string& path) = 0;
    // The key under which names are the same file, and whether two are.
    virtual std::string Fold(const std::string& name) = 0;
    virtual bool Same(const std::string& a, const std::string& b) = 0;
};

// The system's files.
CacheFiles& SystemCacheFiles();
