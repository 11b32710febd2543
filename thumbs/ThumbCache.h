// A folder's thumbnail cache, "$$KesTHM$$.cache": the finished thumbnails of the media files in
// that folder, each trusted while its file's last-write time is unchanged. Used by the thumbnail
// worker alone. The cache itself is pure logic over CacheFiles (no <windows.h>); the thumbnails
// as images are in ThumbCacheImages.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "thumbs/CacheFiles.h"
#include "thumbs/CacheFormat.h"

class CxImage;

class ThumbCache {
public:
    explicit ThumbCache(CacheFiles& files = SystemCacheFiles()) : files_(files) {}
    ~ThumbCache() { Close(); }
    ThumbCache(const ThumbCache&) = delete;
    ThumbCache& operator=(const ThumbCache&) = delete;

    // Makes this the cache of `folder` (ending in its separator); the same folder is kept as it is.
    void Open(const std::string& folder);
    // True when the file at `path` is known: `image` then holds its thumbnail, or is empty when
    // the file has none.
    bool Lookup(const std::string& path, CxImage& image);
    // Stores `image` as the thumbnail of `path`, replacing an earlier one.
    bool Add(const std::string& path, CxImage& image);
    // The same with the encoded thumbnail: Lookup hands each stored block of `path` to `accept`
    // until it takes one; Add stores `size` bytes.
    bool LookupBlock(const std::string& path, const std::function<bool(const std::vector<uint8_t>&)>& accept);
    bool AddBlock(const std::string& path, const uint8_t* block, size_t size);
    // Compacts the file on disk to match the table, when they differ.
    bool Flush();
    void Close();

    const std::string& Folder() const { return folder_; }
    const std::vector<ThumbRecord>& Table() const { return table_; }
    bool Dirty() const { return dirty_; }

private:
    void Reset();
    void Grow();
    void IndexRecord(size_t index);
    void RebuildIndex();
    // A failed compaction: neither file stays.
    bool FailFlush();

    CacheFiles& files_;
    CacheHeader header_;
    std::vector<ThumbRecord> table_;
    std::string folder_;
    bool dirty_ = false;
    // Table positions by case-folded name, in table order.
    std::unordered_map<std::string, std::vector<size_t>> index_;
};

// The key under which names are the same: folded as the ANSI code page folds them.
std::string FoldName(const char* name);
