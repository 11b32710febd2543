// libFuzzer target over the cover readers of ID3v2, FLAC and MP4 files. Built natively with
// sanitizers: any read outside the input, leak or hang is a finding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/tags/CoverReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A picture is made of the input's bytes, less what unsynchronisation added: never longer.
    if (FindCoverPicture(data, size).size() > size) __builtin_trap();
    // Each reader also on its own, so that none is reached only through the others' checks.
    FindId3Picture(data, size);
    FindFlacPicture(data, size);
    FindMp4Picture(data, size);
    return 0;
}
