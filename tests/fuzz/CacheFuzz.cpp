// libFuzzer target over the contents of a thumbnail cache file: header, record table and the
// extent of each PNG block, as Open and Lookup read them. Built natively with sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "thumbs/CacheFormat.h"
#include "ximage/PngBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CacheHeader header;
    std::vector<ThumbRecord> records;
    if (!ParseCacheImage(data, size, &header, &records)) return 0;

    int32_t present = RecordsPresent(header, static_cast<int64_t>(size));
    if (present < 0 || (present > 0 && kCacheHeaderSize + static_cast<size_t>(present - 1) * kThumbRecordSize >= size))
        __builtin_trap();

    for (const ThumbRecord& record : records) {
        // Every kept block lies inside the data, and its PNG is measured within it.
        if (!BlockFits(record, static_cast<int64_t>(size))) __builtin_trap();
        const uint8_t* block = data + record.offset;
        size_t length = MeasurePngBlock(block, static_cast<size_t>(record.size));
        if (length > static_cast<size_t>(record.size)) __builtin_trap();

        // A record survives being written and read back.
        uint8_t bytes[kThumbRecordSize];
        EncodeRecord(record, bytes);
        ThumbRecord again = DecodeRecord(bytes, sizeof(bytes));
        if (memcmp(&again, &record, sizeof(record)) != 0) __builtin_trap();
    }
    return 0;
}
