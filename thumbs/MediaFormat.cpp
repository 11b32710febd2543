#include "thumbs/MediaFormat.h"

#include "ximage/ImageHeader.h"

namespace {

constexpr size_t kVideoInfoBitmapAt = 48, kVideoInfo2BitmapAt = 72;
constexpr size_t kSourceRightAt = 8, kSourceBottomAt = 12;  // rcSource, first in both layouts
constexpr size_t kDibWidthAt = 4, kDibHeightAt = 8, kDibBitCountAt = 14, kDibCompressionAt = 16;
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
int32_t ReadInt32(const uint8_t* p) { return static_cast<int32_t>(Read32(p)); }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool WithinSide(int64_t side) { return side > 0 && side <= kMaxPictureSide; }

}  // namespace

bool ReadVideoFormat(VideoLayout layout, const uint8_t* block, size_t size, VideoFormat* format) {
    bool second = layout == VideoLayout::VideoInfo2;
    if (!block || size < (second ? kVideoInfo2Size : kVideoInfoSize)) return false;
    const uint8_t* bitmap = block + (second ? kVideoInfo2BitmapAt : kVideoInfoBitmapAt);
    format->width = ReadInt32(second ? block + kSourceRightAt : bitmap + kDibWidthAt);
    format->height = ReadInt32(second ? block + kSourceBottomAt : bitmap + kDibHeightAt);
    uint32_t compression = Read32(bitmap + kDibCompressionAt);
    format->bitCount = compression == kBiRgb || compression == kBiBitfields ? Read16(bitmap + kDibBitCountAt) : 0;
    return true;
}

bool ReadAudioFormat(const uint8_t* block, size_t size, int32_t* channels, int32_t* sampleRate) {
    if (!block || size < kWaveFormatSize) return false;
    *channels = Read16(block + 2);
    *sampleRate = ReadInt32(block + 4);
    return true;
}

size_t MaxFrameBytes(int32_t width, int32_t height) {
    if (!WithinSide(width) || !WithinSide(height)) return 0;
    return kDibHeaderSize + static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

bool CheckPackedDib(const uint8_t* dib, size_t size, DibShape* shape) {
    if (!dib || size < kDibHeaderSize || Read32(dib) != kDibHeaderSize) return false;
    int32_t width = ReadInt32(dib + kDibWidthAt), height = ReadInt32(dib + kDibHeightAt);
    uint16_t bitCount = Read16(dib + kDibBitCountAt);
    int64_t rows = height < 0 ? -int64_t{height} : height;
    if (!WithinSide(width) || !WithinSide(rows) || Read32(dib + kDibCompressionAt) != kBiRgb ||
        (bitCount != 24 && bitCount != 32))
        return false;
    // Rows are whole 32-bit words; the pixels must all be there.
    uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (stride * static_cast<uint64_t>(rows) > size - kDibHeaderSize) return false;
    *shape = {width, static_cast<int32_t>(rows), bitCount};
    return true;
}
