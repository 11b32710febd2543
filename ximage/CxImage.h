// A picture in memory: decoded from PNG, JPEG or BMP through the system's codecs, encoded to PNG,
// resampled, drawn, and converted to and from device bitmaps. Pixels are kept as 32-bit BGRA, top
// row first; GetBpp says 24 unless the picture carries transparency.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ximage/CxFile.h"
#include "ximage/ImageHeader.h"  // the formats

class CxImage {
public:
    enum InterpolationMethod { IM_NEAREST_NEIGHBOUR = 1, IM_BILINEAR = 2, IM_BICUBIC = 3, IM_BICUBIC2 = 4 };
    enum OverflowMethod { OM_COLOR = 1, OM_BACKGROUND = 2, OM_TRANSPARENT = 3, OM_WRAP = 4, OM_REPEAT = 5 };

    explicit CxImage(uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN);
    ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    // A black picture; bpp 32 has an alpha channel (opaque), anything else reads as 24.
    bool Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN);
    bool Destroy();
    bool IsValid() const { return pixels_ != nullptr; }
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }
    uint32_t GetBpp() const { return IsValid() ? (alpha_ ? 32 : 24) : 0; }
    uint32_t GetType() const { return type_; }
    bool AlphaIsValid() const { return alpha_; }

    // Format 0 takes whatever the data are; another format must match the data. Pictures and files
    // beyond the limits of ImageHeader.h are refused before they are read whole or decoded.
    bool Load(const char* path, uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN);
    bool LoadResource(HRSRC resource, uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN, HMODULE module = nullptr);
    // Reads one picture from the stream's position. A PNG is read chunk by chunk up to its IEND,
    // never past what the stream holds, and the stream is left at its end; any other format
    // takes the rest of the stream. On failure the stream is back where it was.
    bool Decode(CxFile* file, uint32_t imageType);
    bool Decode(const uint8_t* data, uint32_t size, uint32_t imageType);

    // PNG (or JPEG) into a buffer that FreeMemory releases.
    bool Encode(uint8_t*& buffer, int32_t& size, uint32_t imageType);
    bool Encode(CxFile* file, uint32_t imageType);
    static void FreeMemory(void* memory);

    // Copies the bitmap's pixels; the caller keeps the bitmap.
    bool CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette = nullptr);
    // A new device-dependent bitmap that the caller owns; null on failure.
    HBITMAP MakeBitmap(HDC dc = nullptr);

    // Mode 0: bilinear. The result is exactly width x height; into `dst` when given.
    bool Resample(int32_t width, int32_t height, int mode = 1, CxImage* dst = nullptr);
    // IM_BICUBIC2 is bicubic; OM_REPEAT repeats the edge pixels beyond the borders.
    bool Resample2(int32_t width, int32_t height, InterpolationMethod method = IM_BICUBIC2,
                   OverflowMethod overflow = OM_REPEAT, CxImage* dst = nullptr, bool disableAveraging = false);

    // Stretched into `rect`, smoothed or not; transparent pixels blend with what is there.
    int32_t Draw(HDC dc, const RECT& rect, RECT* clip = nullptr, bool smooth = false);
    // At (x, y); cx or cy of -1 take the picture's own size.
    int32_t Draw(HDC dc, int32_t x = 0, int32_t y = 0, int32_t cx = -1, int32_t cy = -1, RECT* clip = nullptr,
                 bool smooth = false);

    RGBQUAD GetPixelColor(int32_t x, int32_t y) const;  // y counts from the top
    // The alpha byte is written only with `setAlpha`; otherwise the pixel is opaque.
    bool SetPixelColor(int32_t x, int32_t y, RGBQUAD color, bool setAlpha = false);
    const char* GetLastError() const { return lastError_; }

private:
    bool Fail(const char* why);
    // The premultiplied bitmap that transparent pictures are blended from, made at the first draw
    // and dropped whenever the pixels change.
    HDC BlendSource(HDC dc);
    void DropBlendBitmap();
    bool Adopt(uint8_t* pixels, uint32_t width, uint32_t height, bool alpha, uint32_t type);
    bool ResampleInto(int32_t width, int32_t height, bool bicubic, CxImage* dst);

    uint8_t* pixels_ = nullptr;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t type_;
    bool alpha_ = false;
    HBITMAP blendBitmap_ = nullptr;
    HDC blendDC_ = nullptr;  // holds blendBitmap_ selected
    HGDIOBJ blendOld_ = nullptr;
    RECT opaqueCore_ = {};   // fully opaque pixels: copied, not blended
    RECT visibleBox_ = {};   // the pixels that are not fully transparent
    char lastError_[64] = {};
};
