// A folder's thumbnail cache, "$$KesTHM$$.cache": the finished thumbnails of the media files in
// that folder, each trusted while its file's last-write time is unchanged. Used by the thumbnail
// worker alone. The cache itself is pure logic over CacheFiles (no <windows.h>); the thumbnails
// as images are in ThumbCacheImages.cpp.
//
// Two processes may share a folder (two players, or two PCs on a network share). The cache that
// opens a folder first becomes its writer: it holds the cache file open, refusing other writers,
// until it moves to another folder or closes. A cache refused that open is read-only for the
// folder: it looks thumbnails up, reading the table again whenever the file changed, and never
// adds, compacts or deletes. So no process loses what it flushed, and none removes or rewrites a
// file that the other wrote after it read it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
    // The same with the encoded thumbnail: Lookup hands the stored block of `path` to `accept`,
    // true when it takes it; Add stores `size` bytes.
    bool LookupBlock(const std::string& path, const std::function<bool(const std::vector<uint8_t>&)>& accept);
    bool AddBlock(const std::string& path, const uint8_t* block, size_t size);
    // Forgets the thumbnail of `path`; the file on disk follows at the next flush.
    void Remove(const std::string& path);
    // Compacts the file on disk to match the table, when they differ.
    bool Flush();
    void Close();

    const std::string& Folder() const { return folder_; }
    const std::vector<ThumbRecord>& Table() const { return table_; }
    bool Dirty() const { return dirty_; }

private:
    void Reset();
    // Reads the folder's file: as its writer when no one else is, else read-only.
    void Load();
    bool ReadTable(CacheStream& file, int64_t size);
    void Grow();
    void RebuildIndex();
    // The file this cache writes, made when the folder had none.
    bool TakeFile();
    // A failed compaction: neither file stays.
    bool FailFlush();
    // The file was changed by someone else: what we hold no longer says what is on disk.
    void LetGo();

    CacheFiles& files_;
    CacheHeader header_;
    std::vector<ThumbRecord> table_;
    std::string folder_;
    bool dirty_ = false;
    bool readOnly_ = false;                // another process writes the folder's cache, or it is a link
    std::unique_ptr<CacheStream> writer_;  // held while this cache is the folder's writer
    CacheStamp seen_;                      // of the file as last read or written here
    // Table position by case-folded name: one record per name.
    std::unordered_map<std::string, size_t> index_;
};
