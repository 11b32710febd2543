#include "thumbs/ThumbCache.h"

#include <algorithm>
#include <cstring>

#include "base/Paths.h"

namespace {

// Compaction reads and writes through windows of this size rather than block by block.
constexpr size_t kCopyWindow = 1024 * 1024;
constexpr int64_t kMaxCacheSize = 0x7FFFFFFF;  // offsets are signed 32-bit
constexpr size_t kChunkRecords = 4096;         // records read at a time: a big file is never held whole
// Open reads at most this many records per file the folder lists, or kMinRecordsRead where that is
// more, so that a crafted count costs no more than the folder can use.
constexpr size_t kRecordsPerListedFile = 4;
constexpr size_t kMinRecordsRead = 4096;

bool SameTime(const CacheFileTime& a, uint32_t low, uint32_t high) { return a.low == low && a.high == high; }

// Whether the record was stored for the file as it is now. The folder's listing answers at no
// cost; where it disagrees, the time that Add stores decides (0 for a file that cannot be opened).
bool StillCurrent(CacheFiles& files, const CacheListing& file, const ThumbRecord& record) {
    return SameTime(file.lastWrite, record.lastWriteLow, record.lastWriteHigh) ||
           SameTime(files.LastWrite(file.path), record.lastWriteLow, record.lastWriteHigh);
}

// A media path is cached only when it fits the name field with a terminator.
bool Cacheable(const std::string& path) { return !path.empty() && path.size() < kThumbNameSize; }

std::string CachePathOf(const std::string& folder) { return AppendPath(folder, kCacheFileName); }
std::string NewPathOf(const std::string& folder) { return AppendPath(folder, kNewCacheFileName); }

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

void ThumbCache::RebuildIndex() {
    index_.clear();
    for (size_t i = 0; i < table_.size(); ++i) index_[files_.Fold(table_[i].name)] = i;
}

void ThumbCache::Open(const std::string& folder) {
    if (!folder_.empty() && files_.Same(folder, folder_)) return;
    Close();
    // Both of the cache's names must fit: a compaction that cannot make its new file would cost
    // the folder its old one.
    if (folder.empty() || folder.size() + sizeof(kNewCacheFileName) > kMaxCachePath) return;
    folder_ = folder;
    Load();
}

void ThumbCache::Load() {
    writer_.reset();
    readOnly_ = false;
    Reset();
    std::string path = CachePathOf(folder_);
    std::unique_ptr<CacheStream> file = files_.OpenWriter(path, false);
    // Refused: another process writes it (or there is none, and the first Add makes one).
    if (!file) readOnly_ = (file = files_.OpenReader(path)) != nullptr;
    if (!file) return;
    // A link is neither read nor written through.
    if (file->Linked()) {
        readOnly_ = true;
        return;
    }
    if (!ReadTable(*file, file->Size())) {
        // Not a cache, or unreadable: its writer deletes it and the folder starts afresh.
        if (!readOnly_) files_.Delete(path);
        Reset();
        return;
    }
    seen_ = file->Stamp();
    if (readOnly_) dirty_ = false;  // what it dropped is not its to write
    else writer_ = std::move(file);
}

bool ThumbCache::ReadTable(CacheStream& file, int64_t size) {
    Reset();
    uint8_t headerBytes[kCacheHeaderSize];
    size_t got = 0;
    // A short read is no error: what was not read keeps the preset values.
    if (size < 0 || !file.Seek(0) || !file.Read(headerBytes, sizeof(headerBytes), &got)) return false;
    header_ = DecodeHeader(headerBytes, got);
    if (!header_.Valid()) return false;

    // The folder's files by folded name, with the times the folder reports for them.
    std::vector<CacheListing> files = files_.List(folder_);
    std::unordered_map<std::string, const CacheListing*> listed;
    listed.reserve(files.size());
    for (const CacheListing& entry : files) listed.emplace(files_.Fold(entry.path), &entry);

    // Records the file cannot hold, or more than the folder can use, are dropped like stale ones.
    size_t limit = std::min(static_cast<size_t>(RecordsPresent(header_, size)),
                            std::max(kRecordsPerListedFile * files.size(), kMinRecordsRead));
    if (header_.count > 0 && static_cast<size_t>(header_.count) > limit) dirty_ = true;
    table_.reserve(std::min(limit, files.size()));
    std::vector<uint8_t> chunk;
    for (size_t first = 0; first < limit; first += kChunkRecords) {
        size_t records = std::min(kChunkRecords, limit - first);
        chunk.assign(records * kThumbRecordSize, 0);
        size_t read = 0;
        if (!file.Read(chunk.data(), chunk.size(), &read)) return false;
        for (size_t i = 0; i < records; ++i) {
            size_t at = i * kThumbRecordSize;
            ThumbRecord record = DecodeRecord(chunk.data() + at, read > at ? read - at : 0);
            auto match = record.name[0] ? listed.find(files_.Fold(record.name)) : listed.end();
            if (match == listed.end() || !files_.Same(match->second->path, record.name) ||
                !BlockFits(record, size) || !StillCurrent(files_, *match->second, record)) {
                dirty_ = true;
                continue;
            }
            // One record per file: a later one replaces an earlier one.
            auto [slot, fresh] = index_.emplace(files_.Fold(record.name), table_.size());
            if (fresh) {
                table_.push_back(record);
            } else {
                table_[slot->second] = record;
                dirty_ = true;
            }
        }
    }
    header_.count = static_cast<int32_t>(table_.size());
    return true;
}

bool ThumbCache::LookupBlock(const std::string& path,
                             const std::function<bool(const std::vector<uint8_t>&)>& accept) {
    if (folder_.empty() || !Cacheable(path) || !files_.Same(GetFolderPart(path), folder_)) return false;
    std::unique_ptr<CacheStream> reader;
    CacheStream* file = writer_.get();
    if (!file) {
        if (!readOnly_) return false;  // the folder has no cache file
        reader = files_.OpenReader(CachePathOf(folder_));
        if (!reader || reader->Linked()) return false;
        // Its writer changed it since the table was read here: the table may no longer say where
        // the blocks are.
        if (reader->Stamp() != seen_) {
            if (!ReadTable(*reader, reader->Size())) Reset();
            dirty_ = false;  // not its to write
            seen_ = reader->Stamp();
        }
        file = reader.get();
    }
    auto entry = index_.find(files_.Fold(path));
    if (entry == index_.end()) return false;
    const ThumbRecord& record = table_[entry->second];
    if (!BlockFits(record, file->Size())) return false;
    std::vector<uint8_t> block(static_cast<size_t>(record.size));
    size_t got = 0;
    return file->Seek(record.offset) && file->Read(block.data(), block.size(), &got) && got == block.size() &&
           accept(block);
}

bool ThumbCache::TakeFile() {
    if (writer_) return true;
    if (readOnly_ || folder_.empty()) return false;
    // The folder had no cache file when it was opened: make one. One that appeared since is
    // another's, and is read first.
    std::unique_ptr<CacheStream> file = files_.OpenWriter(CachePathOf(folder_), true);
    if (!file) {
        if (table_.empty()) Load();
        return writer_ != nullptr;
    }
    uint8_t headerBytes[kCacheHeaderSize];
    EncodeHeader(header_, headerBytes);
    if (!file->Write(headerBytes, sizeof(headerBytes))) return false;
    writer_ = std::move(file);
    return true;
}

bool ThumbCache::AddBlock(const std::string& path, const uint8_t* block, size_t blockSize) {
    // Only blocks that a later Open would keep, in the folder that is open.
    if (!Cacheable(path) || blockSize == 0 || blockSize > static_cast<size_t>(kMaxThumbBlockSize) ||
        folder_.empty() || !files_.Same(GetFolderPart(path), folder_) || !TakeFile())
        return false;
    CacheStream& file = *writer_;
    // A file shorter than its header is a valid empty cache: the header goes first, so that no
    // block lies inside it.
    int64_t size = file.Size();
    uint8_t headerBytes[kCacheHeaderSize];
    EncodeHeader(header_, headerBytes);
    bool placed = size >= static_cast<int64_t>(kCacheHeaderSize)
                      ? file.SeekEnd()
                      : size >= 0 && file.Seek(0) && file.Write(headerBytes, sizeof(headerBytes));
    if (!placed) return false;

    auto earlier = index_.find(files_.Fold(path));
    if (earlier != index_.end()) {
        table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(earlier->second));
        RebuildIndex();
        header_.count = static_cast<int32_t>(table_.size());
    }

    ThumbRecord record;
    memcpy(record.name, path.c_str(), path.size());
    int64_t at = file.Tell();
    record.offset = static_cast<int32_t>(at);
    record.size = static_cast<int32_t>(blockSize);
    CacheFileTime written = files_.LastWrite(path);
    record.lastWriteLow = written.low;
    record.lastWriteHigh = written.high;

    bool stored = at >= 0 && at + static_cast<int64_t>(blockSize) <= kMaxCacheSize && file.Write(block, blockSize);
    if (stored) {
        Grow();
        index_[files_.Fold(path)] = table_.size();
        table_.push_back(record);
        header_.count = static_cast<int32_t>(table_.size());
        dirty_ = true;
    }
    return stored;
}

void ThumbCache::Remove(const std::string& path) {
    auto entry = index_.find(files_.Fold(path));
    if (entry == index_.end()) return;
    table_.erase(table_.begin() + static_cast<std::ptrdiff_t>(entry->second));
    RebuildIndex();
    header_.count = static_cast<int32_t>(table_.size());
    if (!readOnly_) dirty_ = true;
}

bool ThumbCache::FailFlush() {
    // The folder loses its cache rather than keep a half-written one; the table's blocks go with it.
    files_.Delete(CachePathOf(folder_));
    files_.Delete(NewPathOf(folder_));
    writer_.reset();
    Reset();
    return false;
}

void ThumbCache::LetGo() {
    writer_.reset();
    Load();
}

bool ThumbCache::Flush() {
    if (folder_.empty() || !dirty_) return true;
    if (!writer_) {
        dirty_ = false;
        return false;
    }
    std::string oldPath = CachePathOf(folder_), newPath = NewPathOf(folder_);
    // Where the system lets an open file be replaced, another writer may have replaced ours: its
    // file is not ours to compact.
    if (std::unique_ptr<CacheStream> named = files_.OpenReader(oldPath)) {
        if (named->Stamp() != writer_->Stamp()) {
            named.reset();
            LetGo();
            return false;
        }
    } else {
        return false;  // still dirty: the next flush tries again
    }
    // An empty cache leaves no file behind.
    if (table_.empty()) return FailFlush();

    // A file or link of the new file's name goes first: writes never follow a link elsewhere.
    files_.Delete(newPath);
    std::unique_ptr<CacheStream> newFile = files_.OpenWriter(newPath, true);
    if (!newFile) return FailFlush();
    CacheStream& oldFile = *writer_;
    int64_t oldSize = oldFile.Size();
    CacheStamp oldStamp = oldFile.Stamp();

    header_.count = static_cast<int32_t>(table_.size());
    uint8_t headerBytes[kCacheHeaderSize];
    EncodeHeader(header_, headerBytes);
    if (!newFile->Write(headerBytes, sizeof(headerBytes))) {
        newFile.reset();
        files_.Delete(newPath);
        return false;  // the old file stays, still dirty
    }
    std::vector<uint8_t> table = EncodeTable(table_);
    bool ok = newFile->Write(table.data(), table.size());

    // Blocks lie mostly in table order: read the old file through a window and write the new one
    // through a buffer, so that a flush costs about what copying the file costs.
    std::vector<ThumbRecord> compacted = table_;
    std::vector<uint8_t> window, out;
    int64_t windowStart = 0;
    int64_t position = static_cast<int64_t>(kCacheHeaderSize + table.size());
    for (auto record = compacted.begin(); ok && record != compacted.end(); ++record) {
        if (!BlockFits(*record, oldSize) || position + record->size > kMaxCacheSize) {
            ok = false;
            break;
        }
        int64_t start = record->offset, end = start + record->size;
        if (start < windowStart || end > windowStart + static_cast<int64_t>(window.size())) {
            // The window ends at the file's end: a small cache is not read through a large one.
            size_t rest = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(kCopyWindow), oldSize - start));
            size_t want = std::max(rest, static_cast<size_t>(record->size));
            window.resize(want);
            size_t got = 0;
            ok = oldFile.Seek(start) && oldFile.Read(window.data(), want, &got) &&
                 got >= static_cast<size_t>(record->size);
            window.resize(got);
            windowStart = start;
            if (!ok) break;
        }
        const uint8_t* bytes = window.data() + (start - windowStart);
        out.insert(out.end(), bytes, bytes + record->size);
        record->offset = static_cast<int32_t>(position);
        position += record->size;
        if (out.size() >= kCopyWindow) {
            ok = newFile->Write(out.data(), out.size());
            out.clear();
        }
    }
    if (ok && !out.empty()) ok = newFile->Write(out.data(), out.size());
    if (ok) {
        table = EncodeTable(compacted);
        ok = newFile->Seek(static_cast<int64_t>(kCacheHeaderSize)) && newFile->Write(table.data(), table.size()) &&
             newFile->Commit();
    }
    if (!ok) {
        newFile.reset();
        return FailFlush();
    }

    // The new file takes the old one's place in one step, so that a power cut leaves either. An
    // open file cannot be replaced: the old one is let go for that moment.
    CacheStamp written = newFile->Stamp();
    newFile.reset();
    writer_.reset();
    bool replaced = files_.Replace(newPath, oldPath);
    if (replaced) {
        table_ = std::move(compacted);
        dirty_ = false;
    } else {
        // Refused (a reader that does not share deletion holds it): the old file is whole, and the
        // next flush tries again.
        files_.Delete(newPath);
    }
    // Taken again, it must be the file that was left: else another writer came in that moment.
    writer_ = files_.OpenWriter(oldPath, false);
    if (!writer_ || writer_->Linked() || writer_->Stamp() != (replaced ? written : oldStamp)) LetGo();
    return replaced;
}

void ThumbCache::Close() {
    Flush();
    writer_.reset();
    readOnly_ = false;
    Reset();
    folder_.clear();
}
