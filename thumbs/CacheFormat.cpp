#include "thumbs/CacheFormat.h"

#include <cstring>

namespace {

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void Put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Copies what is available of a fixed-size block over a preset image of it.
template <size_t N>
void Overlay(uint8_t (&image)[N], const uint8_t* bytes, size_t available) {
    if (bytes && available) memcpy(image, bytes, available < N ? available : N);
}

}  // namespace

CacheHeader DecodeHeader(const uint8_t* bytes, size_t available) {
    CacheHeader preset;
    uint8_t image[kCacheHeaderSize];
    EncodeHeader(preset, image);
    Overlay(image, bytes, available);
    CacheHeader header;
    header.magic = Get32(image);
    header.version = Get32(image + 4);
    header.count = static_cast<int32_t>(Get32(image + 8));
    return header;
}

void EncodeHeader(const CacheHeader& header, uint8_t* out) {
    Put32(out, header.magic);
    Put32(out + 4, header.version);
    Put32(out + 8, static_cast<uint32_t>(header.count));
}

ThumbRecord DecodeRecord(const uint8_t* bytes, size_t available) {
    ThumbRecord preset;
    uint8_t image[kThumbRecordSize];
    EncodeRecord(preset, image);
    Overlay(image, bytes, available);
    ThumbRecord record;
    record.offset = static_cast<int32_t>(Get32(image));
    record.size = static_cast<int32_t>(Get32(image + 4));
    memcpy(record.name, image + 8, kThumbNameSize);
    record.name[kThumbNameSize - 1] = '\0';
    record.lastWriteLow = Get32(image + 264);
    record.lastWriteHigh = Get32(image + 268);
    return record;
}

void EncodeRecord(const ThumbRecord& record, uint8_t* out) {
    Put32(out, static_cast<uint32_t>(record.offset));
    Put32(out + 4, static_cast<uint32_t>(record.size));
    memcpy(out + 8, record.name, kThumbNameSize);
    Put32(out + 264, record.lastWriteLow);
    Put32(out + 268, record.lastWriteHigh);
}

int32_t RecordsPresent(const CacheHeader& header, int64_t fileSize) {
    if (header.count <= 0 || fileSize <= static_cast<int64_t>(kCacheHeaderSize)) return 0;
    int64_t room = (fileSize - static_cast<int64_t>(kCacheHeaderSize) + kThumbRecordSize - 1) / kThumbRecordSize;
    return header.count < room ? header.count : static_cast<int32_t>(room);
}

bool BlockFits(const ThumbRecord& record, int64_t fileSize) {
    if (record.size <= 0 || record.size > kMaxThumbBlockSize) return false;
    int64_t end = static_cast<int64_t>(record.offset) + record.size;
    return record.offset >= static_cast<int64_t>(kCacheHeaderSize) && end <= fileSize;
}
