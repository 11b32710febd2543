// The image library as the plug-in uses it: PNG and JPEG in and out, PNG blocks in streams,
// device bitmaps, resampling, and drawing into a memory device context.
#include "ximage/CxImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/Gdi.h"
#include "tests/support/TempFolder.h"
#include "tests/ximage/fixtures.h"

namespace {

RGBQUAD Rgb(int r, int g, int b, int a = 255) { return {BYTE(b), BYTE(g), BYTE(r), BYTE(a)}; }

// A picture where every pixel differs from its neighbours.
void Paint(CxImage& image, int width, int height) {
    ASSERT_TRUE(image.Create(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.SetPixelColor(x, y, Rgb(x * 7, y * 11, (x * y) & 0xFF));
}

std::string Encode(CxImage& image, uint32_t format) {
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    EXPECT_TRUE(image.Encode(buffer, size, format));
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    CxImage::FreeMemory(buffer);
    return bytes;
}

bool Decode(CxImage& image, const std::string& bytes, uint32_t type) {
    return image.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()), type);
}

// The same size and every pixel alike, alpha included.
void ExpectSamePixels(const CxImage& a, const CxImage& b) {
    ASSERT_TRUE(a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight());
    for (uint32_t y = 0; y < a.GetHeight(); ++y)
        for (uint32_t x = 0; x < a.GetWidth(); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            ASSERT_EQ(0, memcmp(&p, &q, sizeof(p))) << "at " << x << "," << y;
        }
}

// The four quadrants of the fixtures: red, green / blue, white.
void ExpectQuadrants(const CxImage& image, int tolerance) {
    ASSERT_TRUE(image.IsValid() && image.GetWidth() == 64 && image.GetHeight() == 48);
    const struct { int x, y, r, g, b; } probes[] = {
        {16, 12, 255, 0, 0}, {48, 12, 0, 255, 0}, {16, 36, 0, 0, 255}, {48, 36, 255, 255, 255}};
    for (const auto& p : probes) {
        RGBQUAD c = image.GetPixelColor(p.x, p.y);
        EXPECT_TRUE(abs(p.r - c.rgbRed) <= tolerance && abs(p.g - c.rgbGreen) <= tolerance &&
                    abs(p.b - c.rgbBlue) <= tolerance)
            << p.x << "," << p.y << ": " << int(c.rgbRed) << " " << int(c.rgbGreen) << " " << int(c.rgbBlue);
    }
}

HRSRC Fixture(int id) { return FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /*RT_RCDATA*/); }

}  // namespace

// A painted picture, one with transparent pixels and the cache's 1 x 1 black placeholder through PNG;
// the painted one also through a device bitmap, which stays the caller's.
TEST(CxImageCodec, RoundTripsKeepSizePixelsAndTransparency) {
    CxImage painted, transparent, placeholder, copy;
    EXPECT_FALSE(painted.IsValid());
    Paint(painted, 61, 37);
    ASSERT_TRUE(transparent.Create(8, 8, 32));
    transparent.SetPixelColor(3, 4, Rgb(10, 20, 30, 0), true);
    transparent.SetPixelColor(5, 6, Rgb(200, 100, 50, 128), true);
    EXPECT_TRUE(transparent.GetPixelColor(3, 4).rgbReserved == 0 && transparent.GetPixelColor(5, 6).rgbReserved == 128);
    ASSERT_TRUE(placeholder.Create(1, 1, 24, 0));
    RGBQUAD black = placeholder.GetPixelColor(0, 0);
    EXPECT_EQ(0, black.rgbRed | black.rgbGreen | black.rgbBlue);
    const struct { CxImage* original; uint32_t bpp; } cases[] = {
        {&painted, 24}, {&transparent, 32}, {&placeholder, 24}};
    for (const auto& c : cases) {
        std::string png = Encode(*c.original, CXIMAGE_FORMAT_PNG);
        EXPECT_EQ(0, png.compare(0, 4, "\x89PNG"));
        CxImage decoded;
        ASSERT_TRUE(Decode(decoded, png, c.bpp == 32 ? CXIMAGE_FORMAT_UNKNOWN : CXIMAGE_FORMAT_PNG));
        EXPECT_TRUE(decoded.GetBpp() == c.bpp && decoded.AlphaIsValid() == (c.bpp == 32)) << c.bpp;
        ExpectSamePixels(*c.original, decoded);
    }
    HBITMAP bitmap = painted.MakeBitmap(nullptr);
    ASSERT_NE(nullptr, bitmap);
    ASSERT_TRUE(copy.CreateFromHBITMAP(bitmap));
    ExpectSamePixels(painted, copy);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(copy.CreateFromHBITMAP(nullptr));
}

TEST(CxImageCodec, DecodesSixteenBitPalettedProgressiveAndBaselinePicturesOfTheAskedFormat) {
    CxImage deep, palette, progressive, loaded;
    ASSERT_TRUE(deep.LoadResource(Fixture(IDR_RGB16_PNG), CXIMAGE_FORMAT_UNKNOWN, nullptr));
    ExpectQuadrants(deep, 0);
    ASSERT_TRUE(palette.LoadResource(Fixture(IDR_PALETTE_PNG), CXIMAGE_FORMAT_PNG, nullptr));
    EXPECT_TRUE(palette.AlphaIsValid());
    EXPECT_EQ(0, palette.GetPixelColor(48, 36).rgbReserved);
    EXPECT_TRUE(palette.GetPixelColor(16, 12).rgbReserved == 255 && palette.GetPixelColor(16, 12).rgbRed == 255);
    ASSERT_TRUE(progressive.LoadResource(Fixture(IDR_PROGRESSIVE_JPG), CXIMAGE_FORMAT_UNKNOWN, nullptr));
    ExpectQuadrants(progressive, 8);
    EXPECT_EQ(uint32_t(CXIMAGE_FORMAT_JPG), progressive.GetType());
    // A baseline JPEG file, as a side image or a grabbed frame is; a missing file loads nothing.
    TempFolder folder;
    std::string jpeg = Encode(deep, CXIMAGE_FORMAT_JPG);
    ASSERT_TRUE(loaded.Load(folder.Write("frame.jpg", jpeg).c_str(), CXIMAGE_FORMAT_UNKNOWN));
    ExpectQuadrants(loaded, 8);
    EXPECT_FALSE(loaded.Load((folder / "missing.jpg").c_str()));
    EXPECT_FALSE(loaded.IsValid());
    // An asked format must match the data.
    EXPECT_FALSE(Decode(loaded, jpeg, CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(loaded.IsValid());
    EXPECT_TRUE(Decode(loaded, jpeg, CXIMAGE_FORMAT_JPG));
}

TEST(CxImageStream, DecodeReadsOnePngBlockAndStopsAtItsEnd) {
    CxImage original, decoded;
    Paint(original, 20, 10);
    std::string png = Encode(original, CXIMAGE_FORMAT_PNG), bytes = "HEAD" + png + "TRAILING BYTES";
    CxMemFile memory(reinterpret_cast<uint8_t*>(&bytes[0]), static_cast<uint32_t>(bytes.size()));
    ASSERT_TRUE(memory.Seek(4, SEEK_SET) && decoded.Decode(&memory, CXIMAGE_FORMAT_PNG));
    ExpectSamePixels(original, decoded);
    EXPECT_EQ(static_cast<int32_t>(4 + png.size()), memory.Tell());
    // The same through a runtime-library file, with a second block right behind the first.
    TempFolder folder;
    FILE* file = fopen(folder.Write("blocks.bin", "HEAD" + png + png).c_str(), "rb");
    ASSERT_NE(nullptr, file);
    CxIOFile stream(file);
    stream.Seek(4, SEEK_SET);
    for (size_t block = 1; block <= 2; ++block) {
        EXPECT_TRUE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG)) << block;
        EXPECT_EQ(static_cast<int32_t>(4 + block * png.size()), stream.Tell());
    }
    EXPECT_FALSE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));  // nothing left
    fclose(file);
}

// Cut anywhere, a chunk length far beyond the stream, damaged compressed data, garbage: no picture,
// and the stream stays where it was.
TEST(CxImageStream, DamagedPngFailsAndLeavesTheStreamInPlace) {
    CxImage original, decoded;
    Paint(original, 16, 16);
    std::string png = Encode(original, CXIMAGE_FORMAT_PNG), huge = png, damaged = png, garbage(300, '\0');
    huge[8] = '\x7F';
    ASSERT_NE(std::string::npos, damaged.find("IDAT"));
    damaged[damaged.find("IDAT") + 6] ^= 0x55;  // its checksum no longer matches
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37 + 11);
    std::vector<std::string> bad = {huge, damaged, garbage};
    for (size_t length = 0; length < png.size(); ++length) bad.push_back(png.substr(0, length));
    for (std::string& bytes : bad) {
        CxMemFile memory(reinterpret_cast<uint8_t*>(&bytes[0]), static_cast<uint32_t>(bytes.size()));
        ASSERT_FALSE(decoded.Decode(&memory, CXIMAGE_FORMAT_PNG)) << bytes.size() << " bytes";
        ASSERT_EQ(0, memory.Tell());
        ASSERT_FALSE(Decode(decoded, bytes, CXIMAGE_FORMAT_UNKNOWN)) << bytes.size() << " bytes";
        ASSERT_FALSE(decoded.IsValid());
    }
}

// Bilinear and bicubic, larger and smaller, into another image or in place: exactly the asked size;
// a flat colour stays flat up to the edges, and a fine chequerboard shrinks to grey.
TEST(CxImageResample, GivesTheAskedSizeKeepsAFlatColourFlatAndAverages) {
    CxImage flat, board;
    ASSERT_TRUE(flat.Create(50, 40, 24) && board.Create(64, 64, 24));
    for (int i = 0; i < 50 * 40; ++i) flat.SetPixelColor(i % 50, i / 50, Rgb(90, 140, 200));
    for (int i = 0; i < 64 * 64; ++i) board.SetPixelColor(i % 64, i / 64, Rgb(0, (i % 64 + i / 64) % 2 * 255, 0));
    const struct { int width, height; bool bicubic; } sizes[] = {
        {123, 17, false}, {20, 16, false}, {123, 97, true}, {7, 3, true}};
    for (const auto& s : sizes) {
        CxImage out;
        ASSERT_TRUE(s.bicubic ? flat.Resample2(s.width, s.height, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT, &out)
                              : flat.Resample(s.width, s.height, 0, &out));
        ASSERT_TRUE(int(out.GetWidth()) == s.width && int(out.GetHeight()) == s.height) << s.width << "x" << s.height;
        for (int i = 0; i < s.width * s.height; ++i) {
            RGBQUAD c = out.GetPixelColor(i % s.width, i / s.width);
            ASSERT_TRUE(c.rgbRed == 90 && c.rgbGreen == 140 && c.rgbBlue == 200) << s.width << "x" << s.height;
        }
    }
    EXPECT_TRUE(flat.GetWidth() == 50 && flat.GetHeight() == 40);  // the source stays as it was
    ASSERT_TRUE(flat.Resample(37, 5, 0) && flat.GetWidth() == 37 && flat.GetHeight() == 5);
    ASSERT_TRUE(flat.Resample2(201, 113, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT));
    EXPECT_TRUE(flat.GetWidth() == 201 && flat.GetHeight() == 113);
    EXPECT_FALSE(flat.Resample(0, 5, 0));
    ASSERT_TRUE(board.Resample(8, 8, 0));
    EXPECT_NEAR(128, board.GetPixelColor(4, 4).rgbGreen, 8);  // grey, not aliased black or white
}

// Drawn into a 64 x 64 grey memory bitmap, read back as 0x00RRGGBB.
TEST(CxImageDraw, StretchedIntoTheRectangleOnlyOrAtOwnSizeWithTransparencyAndClip) {
    BITMAPINFO info = TopDownBitmapInfo(64, 64);
    uint32_t* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    OwnedBitmap section(CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    HGDIOBJ old = SelectObject(dc, section);
    ASSERT_NE(nullptr, bits);
    std::fill(bits, bits + 64 * 64, 0x00808080u);
    auto at = [&](int x, int y) { return GdiFlush(), bits[y * 64 + x] & 0xFFFFFF; };
    CxImage bands, half;
    EXPECT_TRUE(bands.Create(2, 2, 24));  // red above blue
    for (int i = 0; i < 4; ++i) bands.SetPixelColor(i % 2, i / 2, i < 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255));
    RECT rect = {10, 10, 50, 30};
    EXPECT_NE(0, bands.Draw(dc, rect, nullptr, false));
    EXPECT_TRUE(at(10, 10) == 0xFF0000u && at(49, 29) == 0x0000FFu);
    EXPECT_TRUE(at(9, 10) == 0x808080u && at(50, 29) == 0x808080u && at(10, 30) == 0x808080u);  // nothing outside
    EXPECT_NE(0, bands.Draw(dc, rect, nullptr, true));  // smoothed
    EXPECT_EQ(0xFF0000u, at(10, 10));
    EXPECT_TRUE(half.Create(4, 4, 32));  // green, its right half transparent
    for (int i = 0; i < 16; ++i) half.SetPixelColor(i % 4, i / 4, Rgb(0, 255, 0, i % 4 < 2 ? 255 : 0), true);
    EXPECT_NE(0, half.Draw(dc, 20, 5, -1, -1, nullptr, false));
    EXPECT_TRUE(at(20, 5) == 0x00FF00u && at(21, 8) == 0x00FF00u);
    EXPECT_TRUE(at(22, 5) == 0x808080u && at(20, 9) == 0x808080u);  // the background shows
    RECT clip = {0, 0, 21, 64};
    EXPECT_NE(0, half.Draw(dc, 40, 40, 4, 4, &clip, false));
    EXPECT_EQ(0x808080u, at(40, 40));  // clipped away
    SelectObject(dc, old);
    DeleteDC(dc);
}
