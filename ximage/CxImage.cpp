#include "ximage/CxImage.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/Gdi.h"
#include "ximage/ImageHeader.h"
#include "ximage/PngBlock.h"
#include "ximage/Resample.h"
#include "ximage/WicCodec.h"

namespace {

class ScreenDC {
public:
    explicit ScreenDC(HDC given) : dc_(given ? given : GetDC(nullptr)), owned_(given == nullptr) {}
    ~ScreenDC() {
        if (owned_ && dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
    bool owned_;
};

// A large rectangle of fully opaque pixels around the centre: the rows whose centre pixel is
// opaque, as far up and down as that holds, each narrowing the run to what all of them share.
RECT FindOpaqueCore(const uint8_t* pixels, int width, int height) {
    auto opaque = [&](int x, int y) { return pixels[(static_cast<size_t>(y) * width + x) * 4 + 3] == 0xFF; };
    int cx = width / 2, cy = height / 2;
    RECT core = {};
    if (width < 8 || height < 8 || !opaque(cx, cy)) return core;
    int left = 0, right = width;
    auto narrow = [&](int y) {
        int l = cx, r = cx + 1;
        while (l > left && opaque(l - 1, y)) --l;
        while (r < right && opaque(r, y)) ++r;
        left = l;
        right = r;
    };
    narrow(cy);
    int top = cy, bottom = cy + 1;
    while (top > 0 && opaque(cx, top - 1)) narrow(--top);
    while (bottom < height && opaque(cx, bottom)) narrow(bottom++);
    return RECT{left, top, right, bottom};
}

}  // namespace

CxImage::CxImage(uint32_t imageType) : type_(imageType) {}

CxImage::~CxImage() { Destroy(); }

bool CxImage::Fail(const char* why) {
    strncpy(lastError_, why, sizeof(lastError_) - 1);
    return false;
}

bool CxImage::Adopt(uint8_t* pixels, uint32_t width, uint32_t height, bool alpha, uint32_t type) {
    Destroy();
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    alpha_ = alpha;
    type_ = type;
    lastError_[0] = '\0';
    return true;
}

bool CxImage::Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType) {
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return Fail("bad size");
    size_t bytes = static_cast<size_t>(width) * height * 4;
    auto* pixels = static_cast<uint8_t*>(malloc(bytes));
    if (!pixels) return Fail("out of memory");
    memset(pixels, 0, bytes);
    for (size_t i = 3; i < bytes; i += 4) pixels[i] = 0xFF;
    return Adopt(pixels, width, height, bpp == 32, imageType);
}

bool CxImage::Destroy() {
    DropBlendBitmap();
    free(pixels_);
    pixels_ = nullptr;
    width_ = height_ = 0;
    alpha_ = false;
    return true;
}

bool CxImage::Decode(const uint8_t* data, uint32_t size, uint32_t imageType) {
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0;
    // The header is judged before a decoder sees the data; the decoder is the one of the format read
    // there. The codec accepts a PNG cut short after its pixel data: a block must be whole to count.
    ImageHeader header;
    bool decodable = DecodableImage(data, size, &header) && (!imageType || header.format == imageType) &&
                     (header.format != CXIMAGE_FORMAT_PNG || MeasurePngBlock(data, size) != 0);
    if (!decodable || !WicDecode(data, size, header.format, &pixels, &width, &height)) {
        Destroy();
        return Fail("cannot decode");
    }

    bool alpha = false;
    size_t bytes = static_cast<size_t>(width) * height * 4;
    for (size_t i = 3; i < bytes && !alpha; i += 4) alpha = pixels[i] != 0xFF;
    return Adopt(pixels, width, height, alpha, header.format);
}

bool CxImage::Decode(CxFile* file, uint32_t imageType) {
    Destroy();
    if (!file) return Fail("no stream");
    int32_t start = file->Tell();
    int32_t size = file->Size();
    if (start < 0 || size < start) return Fail("bad stream");

    uint8_t signature[8] = {};
    size_t got = file->Read(signature, 1, sizeof(signature));
    bool png = DetectImageFormat(signature, got) == CXIMAGE_FORMAT_PNG;
    file->Seek(start, SEEK_SET);
    if (imageType == CXIMAGE_FORMAT_PNG && !png) return Fail("not a PNG stream");

    std::vector<uint8_t> block;
    bool read;
    if (png) {
        read = ReadPngBlock(file, size - start, block);
    } else {
        size_t rest = static_cast<size_t>(size - start);
        read = rest > 0 && rest <= kMaxPictureBytes;
        if (read) {
            block.resize(rest);
            read = file->Read(block.data(), 1, rest) == rest;
        }
    }
    if (!read || !Decode(block.data(), static_cast<uint32_t>(block.size()), imageType)) {
        file->Seek(start, SEEK_SET);
        return Fail("cannot decode stream");
    }
    return true;
}

bool CxImage::Load(const char* path, uint32_t imageType) {
    CxIOFile file;
    Destroy();
    // The runtime's file size is 32-bit: a larger file is refused by the system's measure first.
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &attributes)) return Fail("cannot open file");
    if (attributes.nFileSizeHigh || attributes.nFileSizeLow > kMaxPictureBytes) return Fail("file too large");
    if (!file.Open(path, "rb")) return Fail("cannot open file");
    return Decode(&file, imageType);
}

bool CxImage::LoadResource(HRSRC resource, uint32_t imageType, HMODULE module) {
    if (!resource) return Fail("no resource");
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, resource);
    if (!data || size == 0) return Fail("cannot load resource");
    return Decode(static_cast<const uint8_t*>(data), size, imageType);
}

bool CxImage::Encode(uint8_t*& buffer, int32_t& size, uint32_t imageType) {
    buffer = nullptr;
    size = 0;
    if (!IsValid()) return Fail("no picture");
    std::vector<uint8_t> out;
    if (!WicEncode(pixels_, width_, height_, alpha_, imageType, out)) return Fail("cannot encode");
    buffer = static_cast<uint8_t*>(malloc(out.size()));
    if (!buffer) return Fail("out of memory");
    memcpy(buffer, out.data(), out.size());
    size = static_cast<int32_t>(out.size());
    return true;
}

bool CxImage::Encode(CxFile* file, uint32_t imageType) {
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    if (!file || !Encode(buffer, size, imageType)) return false;
    bool written = file->Write(buffer, 1, size) == static_cast<size_t>(size);
    FreeMemory(buffer);
    return written || Fail("cannot write stream");
}

void CxImage::FreeMemory(void* memory) { free(memory); }

bool CxImage::CreateFromHBITMAP(HBITMAP bitmap, HPALETTE) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return Fail("bad bitmap");
    uint32_t width = static_cast<uint32_t>(info.bmWidth);
    uint32_t height = static_cast<uint32_t>(info.bmHeight);
    if (width > kMaxPictureSide || height > kMaxPictureSide) return Fail("bitmap too large");

    size_t bytes = static_cast<size_t>(width) * height * 4;
    auto* pixels = static_cast<uint8_t*>(malloc(bytes));
    if (!pixels) return Fail("out of memory");
    BITMAPINFO format = TopDownBitmapInfo(static_cast<LONG>(width), static_cast<LONG>(height));
    ScreenDC screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, height, pixels, &format, DIB_RGB_COLORS) != static_cast<int>(height)) {
        free(pixels);
        return Fail("cannot read bitmap");
    }
    for (size_t i = 3; i < bytes; i += 4) pixels[i] = 0xFF;
    return Adopt(pixels, width, height, false, type_);
}

HBITMAP CxImage::MakeBitmap(HDC dc) {
    if (!IsValid()) return nullptr;
    ScreenDC screen(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), static_cast<int>(width_), static_cast<int>(height_));
    if (!bitmap) return nullptr;
    BITMAPINFO format = TopDownBitmapInfo(static_cast<LONG>(width_), static_cast<LONG>(height_));
    if (SetDIBits(screen.get(), bitmap, 0, height_, pixels_, &format, DIB_RGB_COLORS) != static_cast<int>(height_)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

bool CxImage::ResampleInto(int32_t width, int32_t height, bool bicubic, CxImage* dst) {
    if (!IsValid()) return Fail("no picture");
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return Fail("bad size");
    auto* pixels = static_cast<uint8_t*>(malloc(static_cast<size_t>(width) * height * 4));
    if (!pixels) return Fail("out of memory");
    ResamplePixels(pixels_, static_cast<int>(width_), static_cast<int>(height_), pixels, width, height,
                   bicubic ? ResampleFilter::Bicubic : ResampleFilter::Bilinear);
    CxImage* target = dst ? dst : this;
    return target->Adopt(pixels, static_cast<uint32_t>(width), static_cast<uint32_t>(height), alpha_, type_);
}

bool CxImage::Resample(int32_t width, int32_t height, int mode, CxImage* dst) {
    return ResampleInto(width, height, mode >= 2, dst);
}

bool CxImage::Resample2(int32_t width, int32_t height, InterpolationMethod method, OverflowMethod, CxImage* dst,
                        bool) {
    // Edge pixels always repeat beyond the borders.
    return ResampleInto(width, height, method == IM_BICUBIC || method == IM_BICUBIC2, dst);
}

int32_t CxImage::Draw(HDC dc, const RECT& rect, RECT* clip, bool smooth) {
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (!IsValid() || !dc || width <= 0 || height <= 0) return 0;

    // Smoothing resamples here rather than trusting the device's stretch mode.
    const uint8_t* pixels = pixels_;
    int sourceWidth = static_cast<int>(width_), sourceHeight = static_cast<int>(height_);
    std::vector<uint8_t> smoothed;
    if (smooth && (width != sourceWidth || height != sourceHeight)) {
        smoothed.resize(static_cast<size_t>(width) * height * 4);
        ResamplePixels(pixels_, sourceWidth, sourceHeight, smoothed.data(), width, height, ResampleFilter::Bilinear);
        pixels = smoothed.data();
        sourceWidth = width;
        sourceHeight = height;
    }

    int saved = 0;
    if (clip) {
        saved = SaveDC(dc);
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    }

    BITMAPINFO format = TopDownBitmapInfo(static_cast<LONG>(sourceWidth), static_cast<LONG>(sourceHeight));
    int32_t drawn = 0;
    if (!alpha_) {
        int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        drawn = StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, sourceWidth, sourceHeight, pixels, &format,
                              DIB_RGB_COLORS, SRCCOPY) > 0;
        SetStretchBltMode(dc, oldMode);
    } else if (pixels == pixels_) {
        // AlphaBlend wants premultiplied pixels in a bitmap; this picture's is kept for next time.
        HDC memory = BlendSource(dc);
        if (memory) {
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            if (width == sourceWidth && height == sourceHeight) {
                // At its own size the opaque core is copied, the rest blended only where it shows.
                const RECT& core = opaqueCore_;
                const RECT& box = visibleBox_;
                int x = rect.left, y = rect.top;
                drawn = 1;
                if (core.right > core.left)
                    BitBlt(dc, x + core.left, y + core.top, core.right - core.left, core.bottom - core.top, memory,
                           core.left, core.top, SRCCOPY);
                RECT rims[4] = {{box.left, box.top, box.right, core.top},
                                {box.left, core.bottom, box.right, box.bottom},
                                {box.left, core.top, core.left, core.bottom},
                                {core.right, core.top, box.right, core.bottom}};
                if (core.right <= core.left) rims[0] = box, rims[1] = rims[2] = rims[3] = RECT{};
                for (const RECT& r : rims)
                    if (r.right > r.left && r.bottom > r.top)
                        AlphaBlend(dc, x + r.left, y + r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, blend);
            } else {
                drawn = AlphaBlend(dc, rect.left, rect.top, width, height, memory, 0, 0, sourceWidth, sourceHeight,
                                   blend);
            }
        }
    } else {
        // A smoothed copy is blended once, from a bitmap of its own.
        CxImage copy;
        auto* owned = static_cast<uint8_t*>(malloc(smoothed.size()));
        if (owned) {
            memcpy(owned, smoothed.data(), smoothed.size());
            copy.Adopt(owned, static_cast<uint32_t>(width), static_cast<uint32_t>(height), true, type_);
            drawn = copy.Draw(dc, rect.left, rect.top, -1, -1, nullptr, false);
        }
    }

    if (clip) RestoreDC(dc, saved);
    return drawn;
}

int32_t CxImage::Draw(HDC dc, int32_t x, int32_t y, int32_t cx, int32_t cy, RECT* clip, bool smooth) {
    if (cx < 0) cx = static_cast<int32_t>(width_);
    if (cy < 0) cy = static_cast<int32_t>(height_);
    RECT rect = {x, y, x + cx, y + cy};
    return Draw(dc, rect, clip, smooth);
}

HDC CxImage::BlendSource(HDC dc) {
    if (blendDC_ || !IsValid()) return blendDC_;
    BITMAPINFO format = TopDownBitmapInfo(static_cast<LONG>(width_), static_cast<LONG>(height_));
    void* bits = nullptr;
    blendBitmap_ = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    blendDC_ = blendBitmap_ ? CreateCompatibleDC(dc) : nullptr;
    if (!blendDC_) {
        DropBlendBitmap();
        return nullptr;
    }
    blendOld_ = SelectObject(blendDC_, blendBitmap_);
    auto* out = static_cast<uint8_t*>(bits);
    size_t bytes = static_cast<size_t>(width_) * height_ * 4;
    RECT box = {static_cast<LONG>(width_), static_cast<LONG>(height_), 0, 0};
    for (size_t i = 0; i < bytes; i += 4) {
        unsigned a = pixels_[i + 3];
        out[i + 0] = static_cast<uint8_t>((pixels_[i + 0] * a + 127) / 255);
        out[i + 1] = static_cast<uint8_t>((pixels_[i + 1] * a + 127) / 255);
        out[i + 2] = static_cast<uint8_t>((pixels_[i + 2] * a + 127) / 255);
        out[i + 3] = static_cast<uint8_t>(a);
        if (a) {
            LONG x = static_cast<LONG>((i / 4) % width_), y = static_cast<LONG>((i / 4) / width_);
            if (x < box.left) box.left = x;
            if (x >= box.right) box.right = x + 1;
            if (y < box.top) box.top = y;
            if (y >= box.bottom) box.bottom = y + 1;
        }
    }
    visibleBox_ = box.right > box.left ? box : RECT{};
    opaqueCore_ = FindOpaqueCore(pixels_, static_cast<int>(width_), static_cast<int>(height_));
    return blendDC_;
}

void CxImage::DropBlendBitmap() {
    if (blendDC_) {
        SelectObject(blendDC_, blendOld_);
        DeleteDC(blendDC_);
    }
    if (blendBitmap_) DeleteObject(blendBitmap_);
    blendDC_ = nullptr;
    blendOld_ = nullptr;
    blendBitmap_ = nullptr;
    opaqueCore_ = visibleBox_ = RECT{};
}

RGBQUAD CxImage::GetPixelColor(int32_t x, int32_t y) const {
    RGBQUAD color = {};
    if (!IsValid() || x < 0 || y < 0 || x >= static_cast<int32_t>(width_) || y >= static_cast<int32_t>(height_))
        return color;
    const uint8_t* p = pixels_ + (static_cast<size_t>(y) * width_ + x) * 4;
    color.rgbBlue = p[0];
    color.rgbGreen = p[1];
    color.rgbRed = p[2];
    color.rgbReserved = p[3];
    return color;
}

bool CxImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD color, bool setAlpha) {
    if (!IsValid() || x < 0 || y < 0 || x >= static_cast<int32_t>(width_) || y >= static_cast<int32_t>(height_))
        return false;
    DropBlendBitmap();
    uint8_t* p = pixels_ + (static_cast<size_t>(y) * width_ + x) * 4;
    p[0] = color.rgbBlue;
    p[1] = color.rgbGreen;
    p[2] = color.rgbRed;
    p[3] = setAlpha ? color.rgbReserved : 0xFF;
    if (p[3] != 0xFF) alpha_ = true;
    return true;
}
