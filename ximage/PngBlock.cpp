#include "ximage/PngBlock.h"

#include <cstring>

#include "ximage/CxFile.h"
#include "ximage/ImageHeader.h"

namespace {
const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint32_t kMaxChunk = 0x7FFFFFFF;
constexpr size_t kChunkOverhead = 12;  // length, type, CRC

uint32_t ChunkLength(const uint8_t* chunk) {
    return (static_cast<uint32_t>(chunk[0]) << 24) | (static_cast<uint32_t>(chunk[1]) << 16) |
           (static_cast<uint32_t>(chunk[2]) << 8) | chunk[3];
}
}  // namespace

size_t MeasurePngBlock(const uint8_t* data, size_t size) {
    if (!data || size < sizeof(kSignature) || memcmp(data, kSignature, sizeof(kSignature)) != 0) return 0;
    size_t at = sizeof(kSignature);
    while (size - at >= kChunkOverhead) {
        const uint8_t* chunk = data + at;
        uint32_t length = ChunkLength(chunk);
        if (length > kMaxChunk || size - at - kChunkOverhead < length) return 0;
        at += kChunkOverhead + length;
        if (memcmp(chunk + 4, "IEND", 4) == 0) return at;
    }
    return 0;
}

bool ReadPngBlock(CxFile* file, int64_t available, std::vector<uint8_t>& block) {
    block.resize(sizeof(kSignature));
    if (available < static_cast<int64_t>(sizeof(kSignature)) ||
        file->Read(block.data(), 1, sizeof(kSignature)) != sizeof(kSignature) ||
        memcmp(block.data(), kSignature, sizeof(kSignature)) != 0)
        return false;
    int64_t used = sizeof(kSignature);
    for (;;) {
        uint8_t header[8];  // length and type
        if (available - used < static_cast<int64_t>(kChunkOverhead) || file->Read(header, 1, 8) != 8) return false;
        uint32_t length = ChunkLength(header);
        if (length > kMaxChunk || available - used - static_cast<int64_t>(kChunkOverhead) < length) return false;
        size_t at = block.size();
        if (kMaxPictureBytes - at < kChunkOverhead + length) return false;
        block.resize(at + kChunkOverhead + length);
        memcpy(&block[at], header, 8);
        if (file->Read(&block[at + 8], 1, length + 4) != length + 4) return false;
        used += static_cast<int64_t>(kChunkOverhead) + length;
        if (memcmp(header + 4, "IEND", 4) == 0) return true;
    }
}
