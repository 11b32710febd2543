// libFuzzer target over what is read of a picture before a decoder sees it: the format and the
// header's size, and the PNG block reader over a buffer and over a stream, which must agree.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ximage/CxFile.h"
#include "ximage/ImageHeader.h"
#include "ximage/PngBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImageHeader header;
    if (DecodableImage(data, size, &header) && (header.width > kMaxPictureSide || header.height > kMaxPictureSide))
        __builtin_trap();
    size_t measured = MeasurePngBlock(data, size);
    std::vector<uint8_t> copy(data, data + size);  // the stream takes a buffer it may write
    CxMemFile stream(copy.data(), static_cast<uint32_t>(size));
    std::vector<uint8_t> block;
    bool read = ReadPngBlock(&stream, static_cast<int64_t>(size), block);
    if (read != (measured != 0) ||
        (read && (block.size() != measured || memcmp(block.data(), data, measured) != 0 ||
                  stream.Tell() != static_cast<int32_t>(measured))))
        __builtin_trap();
    return 0;
}
