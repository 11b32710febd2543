// What the media stack hands over, read before it is trusted: a stream's format block and a
// grabbed frame's packed DIB. Pure byte logic: no <windows.h>; the layouts are those of
// VIDEOINFOHEADER, VIDEOINFOHEADER2, WAVEFORMATEX and BITMAPINFOHEADER, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kVideoInfoSize = 88;    // VIDEOINFOHEADER: FORMAT_VideoInfo, FORMAT_MPEGVideo
constexpr size_t kVideoInfo2Size = 112;  // VIDEOINFOHEADER2: FORMAT_VideoInfo2, FORMAT_MPEG2Video
constexpr size_t kWaveFormatSize = 18;   // WAVEFORMATEX
constexpr size_t kDibHeaderSize = 40;    // BITMAPINFOHEADER

enum class VideoLayout { VideoInfo, VideoInfo2 };

struct VideoFormat {
    int32_t width = 0;  // the bitmap header's, or the source rectangle's right and bottom
    int32_t height = 0;
    int32_t bitCount = 0;  // uncompressed video only (BI_RGB, BI_BITFIELDS), else 0
};

// False when the block is shorter than its layout.
bool ReadVideoFormat(VideoLayout layout, const uint8_t* block, size_t size, VideoFormat* format);
bool ReadAudioFormat(const uint8_t* block, size_t size, int32_t* channels, int32_t* sampleRate);

// The most bytes a grabbed frame of width x height takes (its header and 32-bit pixels); 0 for a
// frame that is refused: not positive, or larger than kMaxPictureSide on a side.
size_t MaxFrameBytes(int32_t width, int32_t height);

struct DibShape {
    int32_t width = 0;
    int32_t height = 0;  // rows, whichever way they run
    uint16_t bitCount = 0;
};

// Whether `size` bytes hold a packed DIB of one whole picture: a 40-byte header of an
// uncompressed 24- or 32-bit picture within kMaxPictureSide on a side, then all of its pixels.
bool CheckPackedDib(const uint8_t* dib, size_t size, DibShape* shape);
