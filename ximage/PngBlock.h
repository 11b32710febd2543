// The extent of one PNG stream in a buffer or a stream. Pure byte logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CxFile;

// The length of the PNG stream at the start of `data`: its signature and every chunk up to and
// including IEND, all within `size`. 0 when the data do not hold a whole PNG stream.
size_t MeasurePngBlock(const uint8_t* data, size_t size);

// Reads the PNG stream at the file's position into `block`: the signature and every chunk up to
// IEND, each checked against the `available` bytes before it is read, and never more than
// kMaxPictureBytes in all. False when they do not make a whole stream.
bool ReadPngBlock(CxFile* file, int64_t available, std::vector<uint8_t>& block);
