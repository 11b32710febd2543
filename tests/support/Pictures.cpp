#include "tests/support/Pictures.h"

#include <algorithm>
#include <cstdlib>

std::string EncodedPicture(int width, int height, COLORREF colour, uint32_t format) {
    CxImage image;  // one pixel of the colour, spread over the whole picture
    image.Create(1, 1, 24);
    image.SetPixelColor(0, 0, RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 255});
    image.Resample(width, height, 0);
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    std::string out = image.Encode(bytes, size, format) ? std::string(reinterpret_cast<char*>(bytes), size) : "";
    CxImage::FreeMemory(bytes);
    return out;
}

long PixelsNear(const std::string& path, COLORREF colour) {
    CxImage image;
    if (!image.Load(path.c_str())) return -1;
    long count = 0;
    for (int32_t y = 0; y < int32_t(image.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(image.GetWidth()); ++x) {
            RGBQUAD p = image.GetPixelColor(x, y);
            count += std::max({abs(p.rgbRed - GetRValue(colour)), abs(p.rgbGreen - GetGValue(colour)),
                               abs(p.rgbBlue - GetBValue(colour))}) <= 12;
        }
    return count;
}
