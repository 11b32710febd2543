// Resampling of 32-bit BGRA pixels to an exact size. Pure arithmetic: no <windows.h>.
#pragma once

#include <cstdint>

enum class ResampleFilter { Bilinear, Bicubic };

// Separable resampling from a top-down source of srcWidth x srcHeight pixels into `dst`, which
// holds dstWidth x dstHeight pixels. When shrinking, the filter widens with the scale so that
// every source pixel counts; pixels beyond the edges repeat the edge. False on empty sizes.
bool ResamplePixels(const uint8_t* src, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth, int dstHeight,
                    ResampleFilter filter);
