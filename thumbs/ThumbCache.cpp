#include "thumbs/ThumbCache.h"

#include <algorithm>
#include <cstring>

#include "base/Paths.h"

namespace {

// Compaction reads and writes through windows of this size rather than block by block.
constexpr size_t kCopyWindow = 1024 * 1024;
constexpr int64_t kMaxCacheSize = 0x7FFFFFFF;  // offsets are signed 32-bit

bool SameTime(const CacheFileTime& a, uint32_t low, uint32_t high) { return a.low == low && a.high == high; }

// Whether the record was stored for the file as it is now. The folder's listing answers at no
// cost; where it disagrees, the time that Add stores decides (0 for a file that cannot be opened).
bool StillCurrent(CacheFiles& files, const CacheListing& file, const ThumbRecord& record) {
    return SameTime(file.lastWrite, record.lastWriteLow, record.lastWriteHigh) ||
           SameTime(files.LastWrite(file.path), record.lastWriteLow, record.lastWriteHigh);
}

// A media path is cached only when it and its folder fit the name field with a terminator.
bool Cacheable(const std::string& path) {
    return !path.empty() && path.size() < kThumbNameSize && !GetFolderPart(path).empty();
}

std::string CachePathOf(const std::string& folder) { return AppendPath(folder, kCacheFileName); }

std::vector<uint8_t> EncodeTable(const std::vector<ThumbRecord>& table) {
    std::vector<uint8_t> bytes(table.size() * kThumbRecordSize);
    for (size_t i = 0; i < table.size(); ++i) EncodeRecord(table[i], &bytes[i * kThumbRecordSize]);
    return bytes;
}

}  // namespace

void ThumbCache::Reset() {
    header_ = CacheHeader();
    table_.clear();
    index_.clear();
    dirty_ = false;
}

void ThumbCache::Grow() {
    // Like the class library's arrays: an eighth more, at least 4 and at most 1,024 records.
    if (table_.size() < table_.capacity()) return;
    table_.reserve(table_.capacity() + std::clamp<size_t>(table_.capacity() / 8, 4, 1024));
}

void ThumbCache::IndexRecord(size_t index) { index_[files_.Fold(table_[index].name)].push_back(index); }

void ThumbCache::RebuildIndex() {
    index_.clear();
    for (size_t i = 0; i < table_.size(); ++i) IndexRecord(i);
}

void ThumbCache::Open(const std::string& folder) {
    if (!folder_.empty() && files_.Same(folder, folder_)) return;
    Flush();
    Reset();
    folder_ = folder.size() < kThumbNameSize ? folder : std::string();
    if (folder_.empty()) return;

    std::string path = CachePathOf(folder_);
    std::unique_ptr<CacheStream> file = files_.Open(path, false);
    if (!file) return;
    int64_t size = file->Size();

    uint8_t headerBytes[kCacheHeaderSize];
    size_t got = 0;
    bool readable = size >= 0 && file->Read(headerBytes, sizeof(headerBytes), &got);
    if (readable) header_ = DecodeHeader(headerBytes, got);
    if (!readable || !header_.Valid()) {
        file.reset();
        files_.Delete(path);
        Reset();
        return;
    }

    // The folder's files by folded name, with the times the folder reports for them.
    std::vector<CacheListing> files = files_.List(folder_);
    std::unordered_map<std::string, const CacheListing*> listed;
    listed.reserve(files.size());
    for (const CacheListing& entry : files) listed.emplace(files_.Fold(entry.path), &entry);

    // Records the file cannot hold read as empty: dropped, like every stale one.
    int32_t present = RecordsPresent(header_, size);
    if (header_.count > present) dirty_ = true;
    table_.reserve(static_cast<size_t>(present));
    std::vector<uint8_t> chunk;
    constexpr int32_t kChunkRecords = 4096;
    for (int32_t first = 0; first < present; first += kChunkRecords) {
        int32_t records = std::min(kChunkRecords, present - first);
        chunk.assign(static_cast<size_t>(records) * kThumbRecordSize, 0);
        size_t read = 0;
        if (!file->Read(chunk.data(), chunk.size(), &read)) {
            file.reset();
            files_.Delete(path);
            Reset();
            return;
        }
        for (int32_t i = 0; i < records; ++i) {
            size_t at = static_cast<size_t>(i) * kThumbRecordSize;
            ThumbRecord record = DecodeRecord(chunk.data() + at, read > at ? read - at : 0);
            auto match = record.name[0] ? listed.find(files_.Fold(record.name)) : listed.end();
            bool keep = match != listed.end() && files_.Same(match->second->path, record.name) &&
                        BlockFits(record, size) && StillCurrent(files_, *match->second, record);
            if (keep) {
                table_.push_back(record);
                IndexRecord(table_.size() - 1);
            } else {
                dirty_ = true;
            }
        }
    }
    header_.count = static_cast<int32_t>(table_.size());
}

bool ThumbCache::LookupBlock(const std::string& path,
                             const std::function<bool(const std::vector<uint8_t>&)>& accept) {
    if (!Cacheable(path)) return false;
    auto entries = index_.find(files_.Fold(path));
    if (entries == index_.end()) return false;

    std::unique_ptr<CacheStream> file = files_.OpenShared(CachePathOf(GetFolderPart(path)));
    if (!file) return false;
    int64_t size = file->Size();
    std::vector<uint8_t> block;
    for (size_t index : entries->second) {
        const ThumbRecord& record = table_[index];
        if (!files_.Same(record.name, path) || !BlockFits(record, size)) continue;
        block.resize(static_cast<size_t>(record.size));
        size_t got = 0;
        if (!file->Seek(record.offset) || !file->Read(block.data(), block.size(), &got) || got != block.size())
            continue;
        if (accept(block)) return true;
    }
    return false;
}

bool ThumbCache::AddBlock(const std::string& path, const uint8_t* block, size_t blockSize) {
    // Only blocks that a later Open would keep.
    if (!Cacheable(path) || blockSize == 0 || blockSize > static_cast<size_t>(kMaxThumbBlockSize)) return false;
    std::string cachePath = CachePathOf(GetFolderPart(path));
    uint8_t headerBytes[kCacheHeaderSize];
    EncodeHeader(header_, headerBytes);
    std::unique_ptr<CacheStream> file = files_.Open(cachePath, false);
    if (file) {
        // A file shorter than its header is a valid empty cache: the header goes first, so that
        // no block lies inside it.
        int64_t size = file->Size();
        bool placed = size >= static_cast<int64_t>(kCacheHeaderSize)
                          ? file->SeekEnd()
                          : size >= 0 && file->Seek(0) && file->Write(headerBytes, sizeof(headerBytes));
        if (!placed) return false;
    } else if ((file = files_.Open(cachePath, true)) != nullptr) {
        file->Write(headerBytes, sizeof(headerBytes));
    } else {
        return false;
    }

    size_t before = table_.size();
    table_.erase(std::remove_if(table_.begin(), table_.end(),
                                [&](const ThumbRecord& r) { return files_.Same(r.name, path); }),
                 table_.end());
    if (table_.size() != before) {
        RebuildIndex();
        header_.count = static_cast<int32_t>(table_.size());
    }

    ThumbRecord record;
    memcpy(record.name, path.c_str(), path.size());
    int64_t at = file->Tell();
    record.offset = static_cast<int32_t>(at);
    record.size = static_cast<int32_t>(blockSize);
    CacheFileTime written = files_.LastWrite(path);
    record.lastWriteLow = written.low;
    record.lastWriteHigh = written.high;

    bool stored = at >= 0 && blockSize <= static_cast<size_t>(kMaxCacheSize) &&
                  at + static_cast<int64_t>(blockSize) <= kMaxCacheSize && file->Write(block, blockSize);
    if (stored) {
        Grow();
        table_.push_back(record);
        IndexRecord(table_.size() - 1);
        header_.count = static_cast<int32_t>(table_.size());
        dirty_ = true;
    }
    return stored;
}

bool ThumbCache::FailFlush() {
    dirty_ = false;
    files_.Delete(CachePathOf(folder_));
    files_.Delete(AppendPath(folder_, kNewCacheFileName));
    return false;
}

bool ThumbCache::Flush() {
    if (folder_.empty() || !dirty_) return true;
    // An empty cache leaves no file behind.
    if (table_.empty()) return FailFlush();

    std::string oldPath = CachePathOf(folder_);
    std::string newPath = AppendPath(folder_, kNewCacheFileName);
    std::vector<ThumbRecord> compacted = table_;
    {
        std::unique_ptr<CacheStream> oldFile = files_.Open(oldPath, false);
        std::unique_ptr<CacheStream> newFile = oldFile ? files_.Open(newPath, true) : nullptr;
        if (!oldFile || !newFile) {
            oldFile.reset();
            newFile.reset();
            return FailFlush();
        }
        int64_t oldSize = oldFile->Size();

        header_.count = static_cast<int32_t>(table_.size());
        uint8_t headerBytes[kCacheHeaderSize];
        EncodeHeader(header_, headerBytes);
        if (!newFile->Write(headerBytes, sizeof(headerBytes))) return false;  // both files stay, still dirty

        std::vector<uint8_t> table = EncodeTable(table_);
        if (!newFile->Write(table.data(), table.size())) {
            oldFile.reset();
            newFile.reset();
            return FailFlush();
        }

        // Blocks lie mostly in table order: read the old file through a window and write the new
        // one through a buffer, so that a flush costs about what copying the file costs.
        std::vector<uint8_t> window, out;
        int64_t windowStart = 0;
        int64_t position = static_cast<int64_t>(kCacheHeaderSize + table.size());
        bool ok = true;
        for (ThumbRecord& record : compacted) {
            if (!BlockFits(record, oldSize) || position + record.size > kMaxCacheSize) {
                ok = false;
                break;
            }
            int64_t start = record.offset, end = start + record.size;
            if (start < windowStart || end > windowStart + static_cast<int64_t>(window.size())) {
                // The window ends at the file's end: a small cache is not read through a large one.
                size_t rest = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kCopyWindow), oldSize - start));
                size_t want = std::max(rest, static_cast<size_t>(record.size));
                window.resize(want);
                size_t got = 0;
                if (!oldFile->Seek(record.offset) || !oldFile->Read(window.data(), want, &got) ||
                    got < static_cast<size_t>(record.size)) {
                    ok = false;
                    break;
                }
                window.resize(got);
                windowStart = start;
            }
            const uint8_t* bytes = window.data() + (start - windowStart);
            out.insert(out.end(), bytes, bytes + record.size);
            record.offset = static_cast<int32_t>(position);
            position += record.size;
            if (out.size() >= kCopyWindow) {
                ok = newFile->Write(out.data(), out.size());
                out.clear();
                if (!ok) break;
            }
        }
        if (ok && !out.empty()) ok = newFile->Write(out.data(), out.size());
        if (ok) {
            table = EncodeTable(compacted);
            ok = newFile->Seek(static_cast<int64_t>(kCacheHeaderSize)) && newFile->Write(table.data(), table.size());
        }
        if (!ok) {
            oldFile.reset();
            newFile.reset();
            return FailFlush();
        }
    }
    table_ = std::move(compacted);
    dirty_ = false;
    files_.Delete(oldPath);
    files_.Move(newPath, oldPath);
    return true;
}

void ThumbCache::Close() {
    Flush();
    Reset();
    folder_.clear();
}
