// KsXTag.dll, the stand-in for the player's tag library: its object reads the cover picture
// embedded in an MP3, FLAC or MP4 file and hands it over as a 32-bit bitmap.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/Gdi.h"
#include "thumbs/TagLibrary.h"
#include "tools/tags/CoverReader.h"
#include "ximage/WicCodec.h"

namespace {

constexpr uint32_t kMaxCoverSide = 16384;

// A whole file mapped read-only; no view for an empty or unreadable file.
class MappedFile {
public:
    explicit MappedFile(const char* path) {
        file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size = {};
        if (file_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(file_, &size) || size.QuadPart <= 0 ||
            static_cast<uint64_t>(size.QuadPart) > SIZE_MAX)
            return;
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_) view_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0));
        if (view_) size_ = static_cast<size_t>(size.QuadPart);
    }
    ~MappedFile() {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uint8_t* Data() const { return view_; }
    size_t Size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    const uint8_t* view_ = nullptr;
    size_t size_ = 0;
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
    if (picture.empty() || !WicDecode(picture.data(), picture.size(), CXIMAGE_FORMAT_UNKNOWN, &pixels.bgra,
                                      &pixels.width, &pixels.height))
        return nullptr;
    if (pixels.width > kMaxCoverSide || pixels.height > kMaxCoverSide) return nullptr;
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
            MappedFile file(path);
            if (!file.Data()) return nullptr;
            // WicDecode initialises COM for the call when the thread has none.
            return DecodeToBitmap(FindCoverPicture(file.Data(), file.Size()));
        } catch (...) {
            return nullptr;  // no memory for the picture: none, and no exception leaves the module
        }
    }
};

}  // namespace

extern "C" __declspec(dllexport) TagObject* __cdecl KsXCreate() { return new (std::nothrow) CoverTagObject; }
