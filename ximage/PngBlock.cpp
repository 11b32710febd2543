#include "ximage/PngBlock.h"

#include <cstring>

namespace {
const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t kMaxChunk = 0x7FFFFFFF;
constexpr size_t kChunkOverhead = 12;  // length, type, CRC
}  // namespace

size_t MeasurePngBlock(const uint8_t* data, size_t size) {
    if (!data || size < sizeof(kSignature) || memcmp(data, kSignature, sizeof(kSignature)) != 0) return 0;
    size_t at = sizeof(kSignature);
    while (size - at >= kChunkOverhead) {
        const uint8_t* chunk = data + at;
        uint32_t length = (static_cast<uint32_t>(chunk[0]) << 24) | (static_cast<uint32_t>(chunk[1]) << 16) |
                          (static_cast<uint32_t>(chunk[2]) << 8) | chunk[3];
        if (length > kMaxChunk || size - at - kChunkOverhead < length) return 0;
        at += kChunkOverhead + length;
        if (memcmp(chunk + 4, "IEND", 4) == 0) return at;
    }
    return 0;
}
