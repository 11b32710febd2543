// libFuzzer target over the thumbnail cache itself, in a folder kept in memory: a mutated cache
// file is opened, then looked up, added to, flushed (also with a failure at a step the input
// names), reopened and its files touched in the order the input says. Built natively with
// sanitizers; besides them, it checks that a flushed cache reopens with exactly the records it
// held, that a failed flush leaves the old file whole or none and never its temporary, and that a
// new file is committed before it takes the old one's place.
//
// Input: the cache file, then the operations, then one byte with the operations' length; a plain
// cache file of the corpus is thus also an input. Some operations take the bytes of a block. The
// folder holds the media files that the corpus's records name, with the times they record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/MemoryFiles.h"
#include "thumbs/CacheFormat.h"
#include "thumbs/ThumbCache.h"

namespace {

const std::string kFolder = "C:\\Media\\";
const char* const kMedia[] = {"a.avi", "b.avi", "c.mp3", "d.avi"};
constexpr CacheFileTime kRecordedTime = {0x89ABCDEF, 0x01D9ABCD};

// A record as kept: name, size, and the media file's time (low, high).
using Kept = std::tuple<std::string, int32_t, uint32_t, uint32_t>;

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
    files.files[cachePath] = std::make_shared<MemoryFile>(MemoryFile{{data, data + length}});
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
                for (const auto& [name, blockSize, low, high] : Records(cache)) {
                    CacheFileTime now = files.LastWrite(name);
                    if (low == now.low && high == now.high) valid.push_back({name, blockSize, low, high});
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
    return 0;
}
