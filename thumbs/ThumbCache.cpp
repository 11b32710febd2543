#include "thumbs/ThumbCache.h"

#include <io.h>
#include <mbstring.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/FileHandle.h"
#include "base/Files.h"
#include "base/Paths.h"
#include "ximage/CxImage.h"

namespace {

constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kExclusive = 0;
// Compaction reads and writes through windows of this size rather than block by block.
constexpr size_t kCopyWindow = 1024 * 1024;
constexpr int64_t kMaxCacheSize = 0x7FFFFFFF;  // offsets are signed 32-bit

bool SameTime(const FILETIME& a, uint32_t low, uint32_t high) {
    return a.dwLowDateTime == low && a.dwHighDateTime == high;
}

// Whether the record was stored for the file as it is now. The folder's listing answers at no
// cost; where it disagrees, the time that Add stores decides (0 for a file that cannot be opened).
bool StillCurrent(const FolderEntry& file, const ThumbRecord& record) {
    return SameTime(file.lastWrite, record.lastWriteLow, record.lastWriteHigh) ||
           SameTime(GetFileLastWriteTime(file.path.c_str()), record.lastWriteLow, record.lastWriteHigh);
}

// A media path is cached only when it and its folder fit the name field with a terminator.
bool Cacheable(const std::string& path) {
    return !path.empty() && path.size() < kThumbNameSize && !GetFolderPart(path).empty();
}

std::string CachePathOf(const std::string& folder) { return AppendPath(folder, kCacheFileName); }

bool WriteAll(FileHandle& file, const void* data, size_t size) {
    DWORD written = 0;
    return file.Write(data, static_cast<DWORD>(size), &written) && written == size;
}

std::vector<uint8_t> EncodeTable(const std::vector<ThumbRecord>& table) {
    std::vector<uint8_t> bytes(table.size() * kThumbRecordSize);
    for (size_t i = 0; i < table.size(); ++i) EncodeRecord(table[i], &bytes[i * kThumbRecordSize]);
    return bytes;
}

}  // namespace

std::string FoldName(const char* name) {
    std::string folded(name);
    if (!folded.empty()) _mbslwr(reinterpret_cast<unsigned char*>(&folded[0]));
    return folded;
}

bool SameName(const char* a, const char* b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

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

void ThumbCache::IndexRecord(size_t index) { index_[FoldName(table_[index].name)].push_back(index); }

void ThumbCache::RebuildIndex() {
    index_.clear();
    for (size_t i = 0; i < table_.size(); ++i) IndexRecord(i);
}

void ThumbCache::Open(const std::string& folder) {
    if (!folder_.empty() && SameName(folder.c_str(), folder_.c_str())) return;
    Flush();
    Reset();
    folder_ = folder.size() < kThumbNameSize ? folder : std::string();
    if (folder_.empty()) return;

    std::string path = CachePathOf(folder_);
    FileHandle file;
    if (!file.Open(path.c_str(), kAccess, kExclusive, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN)) return;
    int64_t size = file.GetSize64();

    uint8_t headerBytes[kCacheHeaderSize];
    DWORD got = 0;
    bool readable = size >= 0 && file.Read(headerBytes, sizeof(headerBytes), &got);
    if (readable) header_ = DecodeHeader(headerBytes, got);
    if (!readable || !header_.Valid()) {
        file.Close();
        DeleteFileA(path.c_str());
        Reset();
        return;
    }

    // The folder's files by folded name, with the times the folder reports for them.
    std::vector<FolderEntry> files;
    ListFolder(folder_, "*.*", files, false, false);
    std::unordered_map<std::string, const FolderEntry*> listed;
    listed.reserve(files.size());
    for (const FolderEntry& entry : files) listed.emplace(FoldName(entry.path.c_str()), &entry);

    // Records the file cannot hold read as empty: dropped, like every stale one.
    int32_t present = RecordsPresent(header_, size);
    if (header_.count > present) dirty_ = true;
    table_.reserve(static_cast<size_t>(present));
    std::vector<uint8_t> chunk;
    constexpr int32_t kChunkRecords = 4096;
    for (int32_t first = 0; first < present; first += kChunkRecords) {
        int32_t records = std::min(kChunkRecords, present - first);
        chunk.assign(static_cast<size_t>(records) * kThumbRecordSize, 0);
        DWORD read = 0;
        if (!file.Read(chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            file.Close();
            DeleteFileA(path.c_str());
            Reset();
            return;
        }
        for (int32_t i = 0; i < records; ++i) {
            size_t at = static_cast<size_t>(i) * kThumbRecordSize;
            ThumbRecord record = DecodeRecord(chunk.data() + at, read > at ? read - at : 0);
            auto match = record.name[0] ? listed.find(FoldName(record.name)) : listed.end();
            bool keep = match != listed.end() && SameName(match->second->path.c_str(), record.name) &&
                        BlockFits(record, size) && StillCurrent(*match->second, record);
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

bool ThumbCache::Lookup(const std::string& path, CxImage& image) {
    image.Destroy();
    if (!Cacheable(path)) return false;
    auto entries = index_.find(FoldName(path.c_str()));
    if (entries == index_.end()) return false;

    FILE* file = fopen(CachePathOf(GetFolderPart(path)).c_str(), "rb");
    if (!file) return false;
    int64_t size = _filelengthi64(_fileno(file));
    bool found = false;
    std::vector<uint8_t> block;
    for (size_t index : entries->second) {
        const ThumbRecord& record = table_[index];
        if (!SameName(record.name, path.c_str()) || !BlockFits(record, size)) continue;
        block.resize(static_cast<size_t>(record.size));
        if (fseek(file, record.offset, SEEK_SET) != 0 || fread(block.data(), 1, block.size(), file) != block.size())
            continue;
        if (image.Decode(block.data(), static_cast<uint32_t>(block.size()), CXIMAGE_FORMAT_PNG)) {
            found = true;
            break;
        }
    }
    fclose(file);
    if (!found) return false;
    if (image.GetWidth() < kPlaceholderBelow || image.GetHeight() < kPlaceholderBelow) image.Destroy();
    return true;
}

bool ThumbCache::Add(const std::string& path, CxImage& image) {
    if (!Cacheable(path)) return false;
    std::string cachePath = CachePathOf(GetFolderPart(path));
    FileHandle file;
    uint8_t headerBytes[kCacheHeaderSize];
    EncodeHeader(header_, headerBytes);
    if (file.Open(cachePath.c_str(), kAccess, kExclusive, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN)) {
        // A file shorter than its header is a valid empty cache: the header goes first, so that
        // no block lies inside it.
        int64_t size = file.GetSize64();
        bool placed = size >= static_cast<int64_t>(kCacheHeaderSize)
                          ? file.Seek(0, FILE_END)
                          : size >= 0 && file.Seek(0, FILE_BEGIN) && WriteAll(file, headerBytes, sizeof(headerBytes));
        if (!placed) return false;
    } else if (file.Open(cachePath.c_str(), kAccess, kExclusive, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN)) {
        WriteAll(file, headerBytes, sizeof(headerBytes));
    } else {
        return false;
    }

    size_t before = table_.size();
    table_.erase(std::remove_if(table_.begin(), table_.end(),
                                [&](const ThumbRecord& r) { return SameName(r.name, path.c_str()); }),
                 table_.end());
    if (table_.size() != before) {
        RebuildIndex();
        header_.count = static_cast<int32_t>(table_.size());
    }

    uint8_t* encoded = nullptr;
    int32_t encodedSize = 0;
    if (!image.Encode(encoded, encodedSize, CXIMAGE_FORMAT_PNG)) return false;

    ThumbRecord record;
    memcpy(record.name, path.c_str(), path.size());
    int64_t at = file.Tell64();
    record.offset = static_cast<int32_t>(at);
    record.size = encodedSize;
    FILETIME written = GetFileLastWriteTime(path.c_str());
    record.lastWriteLow = written.dwLowDateTime;
    record.lastWriteHigh = written.dwHighDateTime;

    bool stored = at >= 0 && at + encodedSize <= kMaxCacheSize && WriteAll(file, encoded, encodedSize);
    if (stored) {
        Grow();
        table_.push_back(record);
        IndexRecord(table_.size() - 1);
        header_.count = static_cast<int32_t>(table_.size());
        dirty_ = true;
    }
    file.Close();
    CxImage::FreeMemory(encoded);
    return stored;
}

bool ThumbCache::FailFlush() {
    dirty_ = false;
    DeleteFileA(CachePathOf(folder_).c_str());
    DeleteFileA(AppendPath(folder_, kNewCacheFileName).c_str());
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
        FileHandle oldFile, newFile;
        if (!oldFile.Open(oldPath.c_str(), kAccess, kExclusive, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN) ||
            !newFile.Open(newPath.c_str(), kAccess, kExclusive, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN)) {
            oldFile.Close();
            newFile.Close();
            return FailFlush();
        }
        int64_t oldSize = oldFile.GetSize64();

        header_.count = static_cast<int32_t>(table_.size());
        uint8_t headerBytes[kCacheHeaderSize];
        EncodeHeader(header_, headerBytes);
        if (!WriteAll(newFile, headerBytes, sizeof(headerBytes))) return false;  // both files stay, still dirty

        std::vector<uint8_t> table = EncodeTable(table_);
        if (!WriteAll(newFile, table.data(), table.size())) {
            oldFile.Close();
            newFile.Close();
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
                size_t want = std::max(kCopyWindow, static_cast<size_t>(record.size));
                window.resize(want);
                DWORD got = 0;
                if (!oldFile.Seek(record.offset, FILE_BEGIN) ||
                    !oldFile.Read(window.data(), static_cast<DWORD>(want), &got) || got < static_cast<DWORD>(record.size)) {
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
                ok = WriteAll(newFile, out.data(), out.size());
                out.clear();
                if (!ok) break;
            }
        }
        if (ok && !out.empty()) ok = WriteAll(newFile, out.data(), out.size());
        if (ok) {
            table = EncodeTable(compacted);
            ok = newFile.Seek(static_cast<LONG>(kCacheHeaderSize), FILE_BEGIN) &&
                 WriteAll(newFile, table.data(), table.size());
        }
        if (!ok) {
            oldFile.Close();
            newFile.Close();
            return FailFlush();
        }
    }
    table_ = std::move(compacted);
    dirty_ = false;
    DeleteFileA(oldPath.c_str());
    MoveFileA(newPath.c_str(), oldPath.c_str());
    return true;
}

void ThumbCache::Close() {
    Flush();
    Reset();
    folder_.clear();
}
