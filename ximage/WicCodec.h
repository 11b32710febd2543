// Decoding and encoding through the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ximage/CxImage.h"

// Decodes into malloc'ed 32-bit BGRA pixels, top row first. `format` 0 lets the codecs choose;
// callers check the data first (DecodableImage), since a decoder may allocate for the whole
// picture its header states before it is asked for a pixel.
bool WicDecode(const uint8_t* data, size_t size, uint32_t format, uint8_t** pixels, uint32_t* width,
               uint32_t* height);

// Encodes BGRA pixels as PNG (with alpha when asked) or JPEG.
bool WicEncode(const uint8_t* pixels, uint32_t width, uint32_t height, bool alpha, uint32_t format,
               std::vector<uint8_t>& out);

// While one lives, decoding and encoding on its thread use one imaging factory rather than making
// one per picture (about 0.3 ms each). Made after the thread's COM initialisation and ended before
// it is undone, on the same thread.
class WicThreadFactory {
public:
    WicThreadFactory();
    ~WicThreadFactory();
    WicThreadFactory(const WicThreadFactory&) = delete;
    WicThreadFactory& operator=(const WicThreadFactory&) = delete;
};
