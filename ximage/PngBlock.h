// The extent of one PNG stream in a buffer. Pure byte logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

// The length of the PNG stream at the start of `data`: its signature and every chunk up to and
// including IEND, all within `size`. 0 when the data do not hold a whole PNG stream.
size_t MeasurePngBlock(const uint8_t* data, size_t size);
