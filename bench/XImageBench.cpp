// Rates of the image layer's hot paths, measured in one run: thumbnail PNG decode, full-frame
// JPEG decode, PNG encode, and both resamplers from a full frame to a thumbnail.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <functional>
#include <string>

#include "bench/Timing.h"
#include "ximage/CxImage.h"

namespace {

// Runs `step` for at least `budget` seconds and prints its rate.
void Rate(const char* name, double budget, const std::function<bool()>& step) {
    step();  // warm
    int count = 0;
    double start = Seconds(), elapsed = 0;
    do {
        if (!step()) {
            printf("%-44s FAILED\n", name);
            return;
        }
        ++count;
        elapsed = Seconds() - start;
    } while (elapsed < budget);
    printf("%-44s %9.1f /s  (%7.3f ms each, %d runs)\n", name, count / elapsed, 1000 * elapsed / count, count);
}

// A frame with gradients and detail, so that the codecs have real work.
void Paint(CxImage& image, int width, int height) {
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD c;
            c.rgbRed = static_cast<BYTE>(x * 255 / width);
            c.rgbGreen = static_cast<BYTE>(y * 255 / height);
            c.rgbBlue = static_cast<BYTE>(((x / 8) ^ (y / 8)) * 16);
            c.rgbReserved = 255;
            image.SetPixelColor(x, y, c);
        }
}

std::string Encoded(CxImage& image, uint32_t format) {
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    image.Encode(buffer, size, format);
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    CxImage::FreeMemory(buffer);
    return bytes;
}

}  // namespace

int main() {
    // The callers (the window's thread, the thumbnail worker) run with COM initialised.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    CxImage frame, thumb;
    Paint(frame, 1920, 1080);
    frame.Resample(240, 135, 0, &thumb);
    std::string png = Encoded(thumb, CXIMAGE_FORMAT_PNG);
    std::string jpeg = Encoded(frame, CXIMAGE_FORMAT_JPG);
    printf("inputs: 240x135 PNG of %zu bytes, 1920x1080 JPEG of %zu bytes\n", png.size(), jpeg.size());

    auto bytes = [](const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); };
    CxImage out;
    Rate("decode PNG 240x135", 1.0,
         [&] { return out.Decode(bytes(png), static_cast<uint32_t>(png.size()), CXIMAGE_FORMAT_PNG); });
    Rate("decode JPEG 1920x1080", 1.0,
         [&] { return out.Decode(bytes(jpeg), static_cast<uint32_t>(jpeg.size()), CXIMAGE_FORMAT_UNKNOWN); });
    Rate("encode PNG 240x135", 1.0, [&] {
        uint8_t* buffer = nullptr;
        int32_t size = 0;
        bool ok = thumb.Encode(buffer, size, CXIMAGE_FORMAT_PNG);
        CxImage::FreeMemory(buffer);
        return ok;
    });
    Rate("Resample bilinear 1920x1080 -> 240x135", 1.0, [&] { return frame.Resample(240, 135, 0, &out); });
    Rate("Resample2 bicubic 1920x1080 -> 240x135", 1.0,
         [&] { return frame.Resample2(240, 135, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT, &out); });
    CoUninitialize();
    return 0;
}
