// The byte layout of a folder's thumbnail cache file: a 12-byte header, a table of 272-byte
// records, then one PNG block per record. Pure byte logic: no <windows.h>, so it is fuzzed
// natively.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr char kCacheFileName[] = "$$KesTHM$$.cache";
constexpr char kNewCacheFileName[] = "$$KesTHM$$.New.cache";
// A folder is cached only when both names fit a path of this many bytes with its terminator.
constexpr size_t kMaxCachePath = 260;
// A stored picture under 8 x 8 is a placeholder: the file is known and has no thumbnail.
constexpr uint32_t kPlaceholderBelow = 8;

constexpr uint32_t kCacheMagic = 0x94439412;
constexpr uint32_t kCacheVersion = 1;
constexpr size_t kCacheHeaderSize = 12;
constexpr size_t kThumbRecordSize = 272;
constexpr size_t kThumbNameSize = 256;
// Stored thumbnails are at most 240 x 240 pixels: a block larger than this is damage, not data.
constexpr int32_t kMaxThumbBlockSize = 16 * 1024 * 1024;

struct CacheHeader {
    uint32_t magic = kCacheMagic;
    uint32_t version = kCacheVersion;
    int32_t count = 0;

    bool Valid() const { return magic == kCacheMagic && version == kCacheVersion; }
};

struct ThumbRecord {
    int32_t offset = -1;
    int32_t size = 0;
    char name[kThumbNameSize] = {};
    uint32_t lastWriteLow = 0;
    uint32_t lastWriteHigh = 0;
};

static_assert(sizeof(ThumbRecord) == kThumbRecordSize, "a record is 272 bytes on disk");

// Reads what there is of a header: bytes beyond `available` keep the preset values.
CacheHeader DecodeHeader(const uint8_t* bytes, size_t available);
void EncodeHeader(const CacheHeader& header, uint8_t* out);

// Reads what there is of a record: bytes beyond `available` keep the preset values. The name is
// always terminated.
ThumbRecord DecodeRecord(const uint8_t* bytes, size_t available);
void EncodeRecord(const ThumbRecord& record, uint8_t* out);

// How many of the header's records the file can hold, whole or in part: never more than the
// bytes after the header allow, never negative.
int32_t RecordsPresent(const CacheHeader& header, int64_t fileSize);

// Whether the record's block lies inside the file, past the header, with a sane size.
bool BlockFits(const ThumbRecord& record, int64_t fileSize);
