// libFuzzer target over the cover readers of ID3v2, FLAC and MP4 files, in memory and read from a
// file region by region. Built natively with sanitizers: any read outside the input, leak or hang
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tools/tags/CoverReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A picture is made of the input's bytes, less what unsynchronisation added: never longer.
    std::vector<uint8_t> picture = FindCoverPicture(data, size);
    if (picture.size() > size) __builtin_trap();
    // Read as a file, region by region, the input gives the same picture.
    ReadAt read = [&](uint64_t at, uint8_t* out, size_t n) {
        return at <= size && n <= size - at && (memcpy(out, data + at, n), true);
    };
    if (ReadCoverPicture(read, size) != picture) __builtin_trap();
    // Each reader also on its own, so that none is reached only through the others' checks.
    FindId3Picture(data, size);
    FindFlacPicture(data, size);
    FindMp4Picture(data, size);
    return 0;
}
