#include "ximage/ImageHeader.h"

#include <cstring>

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kBmpInfoAt = 14;  // after the file header
constexpr uint32_t kBmpCoreHeaderSize = 12;  // 16-bit width and height
constexpr uint32_t kBmpMinInfoHeaderSize = 16;  // 32-bit width and height
constexpr uint8_t kJpegMarker = 0xFF;

uint32_t Big16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 8 | p[1]; }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const uint8_t* p) { return static_cast<uint32_t>(p[1]) << 8 | p[0]; }
uint32_t Little32(const uint8_t* p) { return Little16(p + 2) << 16 | Little16(p); }

// Frame headers: SOF0 to SOF15 but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadJpeg(const uint8_t* data, size_t size, ImageHeader* header) {
    size_t at = 2;  // after the start-of-image marker
    while (size - at >= 4) {
        if (data[at] != kJpegMarker) return false;
        uint8_t marker = data[at + 1];
        if (marker == kJpegMarker) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return false;  // no frame before the scan
        size_t length = Big16(data + at + 2);
        if (length < 2) return false;
        if (IsFrameHeader(marker)) {
            // Length, sample precision, then the height and the width.
            if (length < 7 || size - at < 9) return false;
            header->height = Big16(data + at + 5);
            header->width = Big16(data + at + 7);
            return true;
        }
        if (size - at - 2 < length) return false;
        at += 2 + length;
    }
    return false;
}

bool ReadBmp(const uint8_t* data, size_t size, ImageHeader* header) {
    if (size < kBmpInfoAt + 4) return false;
    uint32_t infoSize = Little32(data + kBmpInfoAt);
    if (infoSize == kBmpCoreHeaderSize) {
        if (size < kBmpInfoAt + kBmpCoreHeaderSize) return false;
        header->width = Little16(data + kBmpInfoAt + 4);
        header->height = Little16(data + kBmpInfoAt + 6);
        return true;
    }
    if (infoSize < kBmpMinInfoHeaderSize || size < kBmpInfoAt + kBmpMinInfoHeaderSize) return false;
    // A negative width is no picture; a negative height is one stored top row first.
    auto width = static_cast<int32_t>(Little32(data + kBmpInfoAt + 4));
    auto height = static_cast<int32_t>(Little32(data + kBmpInfoAt + 8));
    if (width <= 0 || height == INT32_MIN) return false;
    header->width = static_cast<uint32_t>(width);
    header->height = static_cast<uint32_t>(height < 0 ? -height : height);
    return true;
}

}  // namespace

uint32_t DetectImageFormat(const uint8_t* data, size_t size) {
    if (!data) return CXIMAGE_FORMAT_UNKNOWN;
    if (size >= sizeof(kPngSignature) && memcmp(data, kPngSignature, sizeof(kPngSignature)) == 0)
        return CXIMAGE_FORMAT_PNG;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return CXIMAGE_FORMAT_JPG;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return CXIMAGE_FORMAT_BMP;
    return CXIMAGE_FORMAT_UNKNOWN;
}

ImageHeader ReadImageHeader(const uint8_t* data, size_t size) {
    ImageHeader header;
    uint32_t format = DetectImageFormat(data, size);
    bool read = false;
    switch (format) {
        case CXIMAGE_FORMAT_PNG:
            // The first chunk is the 13-byte IHDR: the width and the height come first.
            read = size >= 24 && Big32(data + 8) == 13 && memcmp(data + 12, "IHDR", 4) == 0;
            if (read) {
                header.width = Big32(data + 16);
                header.height = Big32(data + 20);
            }
            break;
        case CXIMAGE_FORMAT_JPG: read = ReadJpeg(data, size, &header); break;
        case CXIMAGE_FORMAT_BMP: read = ReadBmp(data, size, &header); break;
        default: break;
    }
    if (read) header.format = format;
    else header = ImageHeader{};
    return header;
}

bool DecodableImage(const uint8_t* data, size_t size, ImageHeader* header) {
    *header = size <= kMaxPictureBytes ? ReadImageHeader(data, size) : ImageHeader{};
    return header->format != CXIMAGE_FORMAT_UNKNOWN && header->width > 0 && header->height > 0 &&
           header->width <= kMaxPictureSide && header->height <= kMaxPictureSide;
}
