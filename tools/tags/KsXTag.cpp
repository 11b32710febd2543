// KsXTag.dll, the stand-in for the player's tag library: its object reads the cover picture
// embedded in an MP3, FLAC or MP4 file and hands it over as a 32-bit bitmap.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/Gdi.h"
#include "thumbs/TagLibrary.h"
#include "tools/tags/CoverReader.h"
#include "ximage/ImageHeader.h"
#include "ximage/WicCodec.h"

namespace {

// The file, read where the cover can be: a device that goes away is a read error.
class TagFile {
public:
    explicit TagFile(const char* path)
        : file_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr)) {}
    ~TagFile() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;

    uint64_t Size() const {
        LARGE_INTEGER size = {};
        return file_ != INVALID_HANDLE_VALUE && GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }
    bool ReadAt(uint64_t offset, uint8_t* buffer, size_t size) const {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return size <= MAXDWORD && ReadFile(file_, buffer, static_cast<DWORD>(size), &read, &at) && read == size;
    }

private:
    HANDLE file_;
};

// Pixels from WicDecode, given back to its allocator.
struct DecodedPixels {
    ~DecodedPixels() { free(bgra); }
    uint8_t* bgra = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
};

// A top-down 32-bit DIB section holding the picture; null when it cannot be decoded.
HBITMAP DecodeToBitmap(const std::vector<uint8_t>& picture) {
    DecodedPixels pixels;
    ImageHeader header;
    if (!DecodableImage(picture.data(), picture.size(), &header) ||
        !WicDecode(picture.data(), picture.size(), header.format, &pixels.bgra, &pixels.width, &pixels.height))
        return nullptr;
    BITMAPINFO info = TopDownBitmapInfo(static_cast<LONG>(pixels.width), static_cast<LONG>(pixels.height));
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) memcpy(bits, pixels.bgra, static_cast<size_t>(pixels.width) * pixels.height * 4);
    return bitmap;
}

class CoverTagObject final : public TagObject {
public:
    void DeletingDestructor(unsigned int flags) override {
        this->~CoverTagObject();
        if (flags & 1) ::operator delete(this);
    }
    int Reserved1() override { return 0; }
    int Reserved2() override { return 0; }
    int Reserved3() override { return 0; }
    int Reserved4() override { return 0; }

    HBITMAP GetCoverBitmap(const char* path) override {
        if (!path) return nullptr;
        try {
            TagFile file(path);
            ReadAt read = [&](uint64_t offset, uint8_t* buffer, size_t size) {
                return file.ReadAt(offset, buffer, size);
            };
            // WicDecode initialises COM for the call when the thread has none.
            return DecodeToBitmap(ReadCoverPicture(read, file.Size()));
        } catch (...) {
            return nullptr;  // no memory for the picture: none, and no exception leaves the module
        }
    }
};

}  // namespace

extern "C" __declspec(dllexport) TagObject* __cdecl KsXCreate() { return new (std::nothrow) CoverTagObject; }
