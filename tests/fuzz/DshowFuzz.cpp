// libFuzzer target over what the media stack hands over: the input as a stream's format block of
// each layout, and as a grabbed frame's packed DIB, whose accepted pixels must lie in the input.
#include <cstddef>
#include <cstdint>

#include "thumbs/MediaFormat.h"
#include "ximage/ImageHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VideoFormat video;
    ReadVideoFormat(VideoLayout::VideoInfo, data, size, &video);
    ReadVideoFormat(VideoLayout::VideoInfo2, data, size, &video);
    int32_t channels = 0, sampleRate = 0;
    ReadAudioFormat(data, size, &channels, &sampleRate);
    DibShape shape;
    if (CheckPackedDib(data, size, &shape)) {
        size_t stride = (static_cast<size_t>(shape.width) * shape.bitCount + 31) / 32 * 4;
        const auto side = static_cast<int32_t>(kMaxPictureSide);
        if (shape.width > side || shape.height > side || kDibHeaderSize + stride * shape.height > size)
            __builtin_trap();
        volatile uint8_t last = data[kDibHeaderSize + stride * shape.height - 1];  // within the input
        (void)last;
    }
    return 0;
}
