// What is read of a picture before a decoder is let near it: its format by the first bytes and the
// size its header states. Pure byte logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

enum ENUM_CXIMAGE_FORMATS : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,  // not decoded: no picture of ours comes as one
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
};

// No thumbnail, cover or skin needs more. A larger picture, or a larger file that would hold one,
// is refused before anything is allocated for it: the shipped build has 2 GB of address space,
// shared with the player.
constexpr uint32_t kMaxPictureSide = 8192;
constexpr size_t kMaxPictureBytes = 32u * 1024 * 1024;

// PNG, JPEG or BMP by the first bytes; CXIMAGE_FORMAT_UNKNOWN for anything else.
uint32_t DetectImageFormat(const uint8_t* data, size_t size);

struct ImageHeader {
    uint32_t format = CXIMAGE_FORMAT_UNKNOWN;
    uint32_t width = 0;  // as the header states them
    uint32_t height = 0;
};

// The header of a PNG (its IHDR), JPEG (its first frame header) or BMP; format UNKNOWN when the
// data start with none of them whole.
ImageHeader ReadImageHeader(const uint8_t* data, size_t size);

// Whether the data may be decoded: at most kMaxPictureBytes, with a header of a picture that is
// neither empty nor larger than kMaxPictureSide on a side.
bool DecodableImage(const uint8_t* data, size_t size, ImageHeader* header);
