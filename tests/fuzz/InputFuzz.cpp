// libFuzzer target over the byte readers of remote input and of media files: the raw HID report
// parser with the button table behind it, and the container sniffer with its reader choice. The
// first byte is the HID header size; the rest is the report, or the file's first bytes.
#include <cstddef>
#include <cstdint>

#include "input/RemoteCodes.h"
#include "thumbs/ContainerSniff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    uint32_t code = 0;
    if (ParseHidButton(data + 1, size - 1, data[0], &code)) {
        MapRawButton(code, true);
        MapRawButton(code, false);
    }
    uint64_t riffSize = 0;
    Container container = SniffContainerBytes(data + 1, size - 1, &riffSize);
    ChooseReaderFilter(container, riffSize, size - 1, (data[0] & 1) ? "clip.ts" : "clip.avi");
    return 0;
}
