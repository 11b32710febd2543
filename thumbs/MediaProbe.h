// Opening a video through the system's media detector: its container, its streams, and one frame.
// Runs on the thumbnail worker, which has COM.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "thumbs/ContainerSniff.h"

struct IMediaDet;

struct MediaInfo {
    double duration;    // seconds, of the last stream examined
    int32_t width;      // video
    int32_t height;
    double frameRate;
    int32_t bitCount;   // uncompressed video only
    int32_t audioStreams;
    int32_t channels;   // of the last audio stream
    int32_t sampleRate;
};

// Where the player's configuration names its reader filters: under HKEY_CURRENT_USER, one string
// value per filter name ("Quillar AVI Reader", ...) holding its class identifier, "{...}". None
// configured: every file is opened by name.
constexpr char kReaderFiltersKey[] = "Software\\Halvorn\\Quillar\\Reader Filters";

// The player's decoders see "Converting" = 1 in these keys while a frame is grabbed.
constexpr char kConvertingKeys[2][32] = {"Software\\Halvorn\\Kes-MPGd", "Software\\Halvorn\\Kes-MPVd"};
constexpr char kConvertingValue[] = "Converting";

// The container by the file's first kSniffBytes bytes; riffSize and fileSize are set (0 first).
Container SniffContainer(const char* path, uint64_t* riffSize, uint64_t* fileSize);

// Measures the file's streams. With `detector`, the caller receives the media detector positioned
// on the video stream (-1: none) and releases it.
bool ProbeMedia(const char* path, MediaInfo* info, IMediaDet** detector);

// False only for an ".asf" or ".wmv" file whose header says it cannot seek.
bool IsSeekable(const char* path);

// A packed DIB: BITMAPINFOHEADER, then the pixels.
struct PackedDib {
    struct Free {
        void operator()(unsigned char* p) const { free(p); }
    };
    std::unique_ptr<unsigned char, Free> bytes;
    size_t size = 0;
};

// The frame at `time` seconds (negative or past the end: the middle; a file that cannot seek: 0).
PackedDib GrabFrameBits(const char* path, double time);

// True once a media detector has answered that it cannot grab frames at all, as Wine's does: the
// road is then not worth its probe, nor the risk of a broken file hanging it, in this process.
bool MediaDetectorCannotGrab();

// A device-dependent bitmap of a packed DIB; 0 when the block does not hold one whole picture.
HBITMAP DibToBitmap(const unsigned char* dib, size_t size);

void SetConvertingFlag(bool on);

// A frame through the system's media stack (GrabFrameBits made a bitmap); 0 when it cannot be had.
HBITMAP GrabFrameDirectShow(const char* path, double time);
