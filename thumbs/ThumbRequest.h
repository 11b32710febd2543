// One queued thumbnail job, copied by value into and out of the worker's queue.
#pragma once

#include <cstdint>

constexpr int kThumbPathSize = 512;  // the path with its terminator

struct ThumbRequest {
    char path[kThumbPathSize];
    uint32_t serial;
    int32_t width;  // the box the picture must fit: the current thumbnail size
    int32_t height;
};
