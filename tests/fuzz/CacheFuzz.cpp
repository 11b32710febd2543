// libFuzzer target over the thumbnail cache itself, in a folder kept in memory: a mutated cache
// file is opened, then looked up, added to, flushed (also with a failure at a step the input
// names), reopened and its files touched in the order the input says. Built natively with
// sanitizers; besides them, it checks that a flushed cache reopens with exactly the records it
// held, that a failed flush leaves the old file whole or none and never its temporary, that a new
// file is committed before it takes the old one's place, that no file but the cache and its
// temporary is written, moved or deleted.
//
// Input: the cache file, then the operations, then one byte with the operations' length; a plain
// cache file of the corpus is thus also an input. Some operations take the bytes of a block. The
// folder holds the media files that the corpus's records name, with the times they record.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "thumbs/CacheFormat.h"
#include "thumbs/ThumbCache.h"

namespace {

const std::string kFolder = "C:\\Media\\";
const char* const kMedia[] = {"a.avi", "b.avi", "c.mp3", "d.avi"};
constexpr CacheFileTime kRecordedTime = {0x89ABCDEF, 0x01D9ABCD};

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
    std::vector<std::string> changed;                    // what was written, moved or deleted
    Failures failures;
    bool refused = false;

    std::unique_ptr<CacheStream> OpenWriter(const std::string& path, bool create) override {
        auto found = files.find(path);
        if (failures.Fail() || create == (found != files.end())) return nullptr;
        if (create) found = files.emplace(path, std::make_shared<MemoryFile>()).first;
        changed.push_back(path);
        return std::make_unique<MemoryStream>(found->second, true, failures);
    }
    std::unique_ptr<CacheStream> OpenReader(const std::string& path) override {
        auto found = files.find(path);
        if (failures.Fail() || found == files.end()) return nullptr;
        return std::make_unique<MemoryStream>(found->second, false, failures);
    }
    void Delete(const std::string& path) override {
        if (failures.Fail()) return;
        changed.push_back(path);
        files.erase(path);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        auto found = files.find(from);
        refused = failures.Fail();  // as a reader holding `to` refuses it
        if (refused || found == files.end()) return false;
        if (!found->second->committed) __builtin_trap();
        changed.insert(changed.end(), {from, to});
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

struct Kept {
    std::string name;
    int32_t size;
    uint32_t low, high;
    bool operator==(const Kept& o) const { return name == o.name && size == o.size && low == o.low && high == o.high; }
};

std::vector<Kept> Records(const ThumbCache& cache) {
    std::vector<Kept> kept;
    for (const ThumbRecord& r : cache.Table()) kept.push_back({r.name, r.size, r.lastWriteLow, r.lastWriteHigh});
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    size_t opsLength = std::min<size_t>(data[size - 1], size - 1);
    size_t length = size - 1 - opsLength;
    MemoryFiles files;
    std::vector<std::string> names;
    for (const char* media : kMedia) {
        names.push_back(kFolder + media);
        files.media[names.back()] = kRecordedTime;
    }
    const size_t count = names.size();
    const std::string cachePath = kFolder + kCacheFileName, newPath = kFolder + kNewCacheFileName;
    files.files[cachePath] = std::make_shared<MemoryFile>();
    files.files[cachePath]->bytes.assign(data, data + length);
    size = size - 1;

    // Here a block decodes when its first byte is odd.
    auto decodes = [](const std::vector<uint8_t>& b) { return !b.empty() && b[0] % 2; };
    ThumbCache cache(files);
    cache.Open(kFolder);
    for (size_t at = length; at < size; ++at) {
        uint8_t op = data[at];
        const std::string& name = names[(op >> 3) % count];
        switch (op % 7) {
            case 0: cache.LookupBlock(name, decodes); break;
            case 1: {
                size_t blockSize = at + 1 < size ? std::min<size_t>(data[at + 1] % 64, size - at - 2) : 0;
                if (at + 2 + blockSize <= size) cache.AddBlock(name, data + at + 2, blockSize);
                at += 1 + blockSize;
                break;
            }
            case 2: cache.Flush(); break;
            case 3: {
                // A flushed cache reopens with exactly the records that are still valid: those of
                // media files whose time has not changed since.
                bool flushed = cache.Flush();
                std::vector<Kept> valid;
                for (const Kept& k : Records(cache)) {
                    CacheFileTime now = files.LastWrite(k.name);
                    if (k.low == now.low && k.high == now.high) valid.push_back(k);
                }
                cache.Close();
                cache.Open(kFolder);
                if (flushed && Records(cache) != valid) __builtin_trap();
                break;
            }
            case 4: files.media[name].low += 1000; break;  // the media file changed
            case 5: {
                // Failed: the old file stays whole, and the cache dirty; or, when the old file could
                // not be read, it goes; a refused replace always leaves it. Never is the temporary left.
                auto old = files.files.find(cachePath);
                std::vector<uint8_t> before = old == files.files.end() ? std::vector<uint8_t>() : old->second->bytes;
                files.failures.failAt = files.failures.calls + 1 + (op >> 3), files.refused = false;
                bool flushed = cache.Flush();
                files.failures.failAt = 0;
                auto now = files.files.find(cachePath);
                bool whole = now != files.files.end() && now->second->bytes == before;
                if (files.files.count(newPath) || (!flushed && !whole && (cache.Dirty() || now != files.files.end())) ||
                    (files.refused && !whole))
                    __builtin_trap();
                break;
            }
            default: cache.LookupBlock(kFolder + "none.avi", [](const std::vector<uint8_t>&) { return true; });
        }
    }
    cache.Close();
    for (const std::string& path : files.changed)
        if (path != cachePath && path != newPath) __builtin_trap();
    return 0;
}
