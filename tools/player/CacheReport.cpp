#include "tools/player/CacheReport.h"

#include <cstdio>
#include <vector>

#include "base/Paths.h"
#include "thumbs/CacheFormat.h"

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

}  // namespace

std::string CacheReport::Describe() const {
    if (!present) return "no cache file";
    char text[128];
    snprintf(text, sizeof(text), "%d records (%d pictures, %d placeholders)", records, pictures, placeholders);
    return text;
}

bool CacheReport::RewrittenSince(const CacheReport& before) const {
    return present != before.present || CompareFileTime(&written, &before.written) != 0;
}

CacheReport ReadCacheReport(const std::string& folder) {
    CacheReport report;
    std::string path = AppendPath(folder, kCacheFileName);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return report;
    report.present = true;
    GetFileTime(file, nullptr, nullptr, &report.written);
    LARGE_INTEGER size = {};
    std::vector<uint8_t> bytes;
    if (GetFileSizeEx(file, &size) && size.QuadPart < (64 << 20)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) read = 0;
        bytes.resize(read);
    }
    CloseHandle(file);

    // Every record of the table whose block lies in the file.
    CacheHeader header = DecodeHeader(bytes.data(), bytes.size());
    int32_t present = header.Valid() ? RecordsPresent(header, static_cast<int64_t>(bytes.size())) : 0;
    for (int32_t i = 0; i < present; ++i) {
        size_t at = kCacheHeaderSize + static_cast<size_t>(i) * kThumbRecordSize;
        ThumbRecord record = DecodeRecord(bytes.data() + at, bytes.size() - at);
        if (!record.name[0] || !BlockFits(record, static_cast<int64_t>(bytes.size()))) continue;
        ++report.records;
        // The PNG's size is in its IHDR chunk, 16 bytes into the block.
        const uint8_t* block = bytes.data() + record.offset;
        bool small = record.size < 24 || BigEndian32(block + 16) < kPlaceholderBelow ||
                     BigEndian32(block + 20) < kPlaceholderBelow;
        ++(small ? report.placeholders : report.pictures);
    }
    return report;
}
