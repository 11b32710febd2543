// A folder kept in memory behind the thumbnail cache's file interface, for the fuzzer and the
// native tests: no <windows.h>. Failures can be injected at any call; a replace of a file not
// yet committed traps, as a cache must commit before it takes the old file's place.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "thumbs/CacheFiles.h"

struct MemoryFile {
    std::vector<uint8_t> bytes;
    uint32_t writes = 0;  // stands for the last-write time
    bool committed = false;
};
using FileRef = std::shared_ptr<MemoryFile>;

// Call number `failAt` of those that open, delete, replace, seek, read, write or commit fails.
struct Failures {
    int failAt = 0, calls = 0;
    bool Fail() { return ++calls == failAt; }
};

// A stream keeps its file as a handle keeps a deleted one: readable until it is let go.
class MemoryStream : public CacheStream {
public:
    MemoryStream(FileRef file, bool writable, Failures& failures)
        : file_(std::move(file)), writable_(writable), failures_(failures) {}
    int64_t Size() override { return static_cast<int64_t>(file_->bytes.size()); }
    int64_t Tell() override { return at_; }
    bool Seek(int64_t offset) override { return !failures_.Fail() && offset >= 0 && (at_ = offset, true); }
    bool SeekEnd() override { return !failures_.Fail() && (at_ = Size(), true); }
    bool Read(void* buffer, size_t count, size_t* got) override {
        std::vector<uint8_t>& bytes = file_->bytes;
        size_t from = std::min(static_cast<size_t>(at_), bytes.size());
        *got = failures_.Fail() ? 0 : std::min(count, bytes.size() - from);
        if (*got) memcpy(buffer, bytes.data() + from, *got);
        at_ += static_cast<int64_t>(*got);
        return failures_.calls != failures_.failAt;
    }
    bool Write(const void* data, size_t count) override {
        if (failures_.Fail() || !writable_) return false;
        std::vector<uint8_t>& bytes = file_->bytes;
        size_t end = static_cast<size_t>(at_) + count;
        if (end > bytes.size()) bytes.resize(end);
        if (count) memcpy(bytes.data() + at_, data, count);
        at_ = static_cast<int64_t>(end);
        ++file_->writes;
        file_->committed = false;
        return true;
    }
    bool Commit() override { return !failures_.Fail() && writable_ && (file_->committed = true); }
    CacheStamp Stamp() override { return {Size(), {file_->writes, 0}}; }
    bool Linked() override { return false; }

private:
    FileRef file_;
    bool writable_;
    Failures& failures_;
    int64_t at_ = 0;
};

class MemoryFiles : public CacheFiles {
public:
    std::map<std::string, FileRef> files;                // the cache and its temporary
    std::map<std::string, CacheFileTime> media;          // the media files with their times
    Failures failures;
    bool refused = false;

    std::unique_ptr<CacheStream> OpenWriter(const std::string& path, bool create) override {
        auto found = files.find(path);
        if (failures.Fail() || create == (found != files.end())) return nullptr;
        if (create) found = files.emplace(path, std::make_shared<MemoryFile>()).first;
        return std::make_unique<MemoryStream>(found->second, true, failures);
    }
    std::unique_ptr<CacheStream> OpenReader(const std::string& path) override {
        auto found = files.find(path);
        if (failures.Fail() || found == files.end()) return nullptr;
        return std::make_unique<MemoryStream>(found->second, false, failures);
    }
    void Delete(const std::string& path) override {
        if (failures.Fail()) return;
        files.erase(path);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        auto found = files.find(from);
        refused = failures.Fail();  // as a reader holding `to` refuses it
        if (refused || found == files.end()) return false;
        if (!found->second->committed) __builtin_trap();
        files[to] = found->second;
        files.erase(from);
        return true;
    }
    std::vector<CacheListing> List(const std::string&) override {
        std::vector<CacheListing> listing;
        for (const auto& [path, time] : media) listing.push_back({path, time});
        return listing;
    }
    // Names differing only in case are one file, as on Windows.
    CacheFileTime LastWrite(const std::string& path) override {
        for (const auto& [name, time] : media)
            if (Same(name, path)) return time;
        return CacheFileTime();
    }
    std::string Fold(const std::string& name) override {
        std::string folded = name;
        for (char& c : folded) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return folded;
    }
    bool Same(const std::string& a, const std::string& b) override { return Fold(a) == Fold(b); }
};
