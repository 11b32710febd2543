#include "ximage/CxImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/Gdi.h"
#include "tests/support/TempFolder.h"
#include "tests/ximage/fixtures.h"

namespace {

RGBQUAD Rgb(int r, int g, int b, int a = 255) {
    RGBQUAD c;
    c.rgbRed = static_cast<BYTE>(r);
    c.rgbGreen = static_cast<BYTE>(g);
    c.rgbBlue = static_cast<BYTE>(b);
    c.rgbReserved = static_cast<BYTE>(a);
    return c;
}

// A picture where every pixel differs from its neighbours.
void Paint(CxImage& image, uint32_t width, uint32_t height) {
    ASSERT_TRUE(image.Create(width, height, 24));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) image.SetPixelColor(x, y, Rgb(x * 7, y * 11, (x * y) & 0xFF));
}

std::string EncodePng(CxImage& image) {
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    EXPECT_TRUE(image.Encode(buffer, size, CXIMAGE_FORMAT_PNG));
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    CxImage::FreeMemory(buffer);
    return bytes;
}

bool Decode(CxImage& image, const std::string& bytes, uint32_t type) {
    return image.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()), type);
}

void ExpectSamePixels(const CxImage& a, const CxImage& b) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (uint32_t y = 0; y < a.GetHeight(); ++y)
        for (uint32_t x = 0; x < a.GetWidth(); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            ASSERT_EQ(0, memcmp(&p, &q, sizeof(p))) << "at " << x << "," << y;
        }
}

// The four quadrants of the fixtures: red, green / blue, white.
void ExpectQuadrants(const CxImage& image, int tolerance) {
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(64u, image.GetWidth());
    ASSERT_EQ(48u, image.GetHeight());
    const struct { int x, y, r, g, b; } probes[] = {
        {16, 12, 255, 0, 0}, {48, 12, 0, 255, 0}, {16, 36, 0, 0, 255}, {48, 36, 255, 255, 255}};
    for (const auto& p : probes) {
        RGBQUAD c = image.GetPixelColor(p.x, p.y);
        EXPECT_NEAR(p.r, c.rgbRed, tolerance) << p.x << "," << p.y;
        EXPECT_NEAR(p.g, c.rgbGreen, tolerance) << p.x << "," << p.y;
        EXPECT_NEAR(p.b, c.rgbBlue, tolerance) << p.x << "," << p.y;
    }
}

HRSRC Fixture(int id) { return FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /*RT_RCDATA*/); }

std::string FixtureBytes(int id) {
    HRSRC resource = Fixture(id);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
    return std::string(data, SizeofResource(nullptr, resource));
}

}  // namespace

TEST(CxImageCodec, PngEncodeThenDecodeKeepsSizeAndPixels) {
    CxImage original;
    EXPECT_FALSE(original.IsValid());
    Paint(original, 61, 37);
    std::string png = EncodePng(original);
    EXPECT_EQ(0, png.compare(0, 4, "\x89PNG"));

    CxImage decoded;
    ASSERT_TRUE(Decode(decoded, png, CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(24u, decoded.GetBpp());
    EXPECT_FALSE(decoded.AlphaIsValid());
    ExpectSamePixels(original, decoded);
}

TEST(CxImageCodec, TransparencySurvivesEncoding) {
    CxImage original;
    ASSERT_TRUE(original.Create(8, 8, 32));
    original.SetPixelColor(3, 4, Rgb(10, 20, 30, 0), true);
    original.SetPixelColor(5, 6, Rgb(200, 100, 50, 128), true);
    CxImage decoded;
    ASSERT_TRUE(Decode(decoded, EncodePng(original), CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(32u, decoded.GetBpp());
    EXPECT_EQ(0, decoded.GetPixelColor(3, 4).rgbReserved);
    EXPECT_EQ(128, decoded.GetPixelColor(5, 6).rgbReserved);
    EXPECT_EQ(255, decoded.GetPixelColor(0, 0).rgbReserved);
}

TEST(CxImageCodec, PlaceholderIsOneBlackPixel) {
    CxImage placeholder;
    ASSERT_TRUE(placeholder.Create(1, 1, 24, 0));
    CxImage decoded;
    ASSERT_TRUE(Decode(decoded, EncodePng(placeholder), CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(1u, decoded.GetWidth());
    EXPECT_EQ(1u, decoded.GetHeight());
    RGBQUAD c = decoded.GetPixelColor(0, 0);
    EXPECT_EQ(0, c.rgbRed | c.rgbGreen | c.rgbBlue);
}

TEST(CxImageCodec, DecodesSixteenBitPalettedAndProgressivePictures) {
    CxImage deep, palette, progressive;
    ASSERT_TRUE(deep.LoadResource(Fixture(IDR_RGB16_PNG), CXIMAGE_FORMAT_UNKNOWN, nullptr));
    ExpectQuadrants(deep, 0);

    ASSERT_TRUE(palette.LoadResource(Fixture(IDR_PALETTE_PNG), CXIMAGE_FORMAT_PNG, nullptr));
    EXPECT_TRUE(palette.AlphaIsValid());
    EXPECT_EQ(0, palette.GetPixelColor(48, 36).rgbReserved);
    EXPECT_EQ(255, palette.GetPixelColor(16, 12).rgbReserved);
    EXPECT_EQ(255, palette.GetPixelColor(16, 12).rgbRed);

    ASSERT_TRUE(progressive.LoadResource(Fixture(IDR_PROGRESSIVE_JPG), CXIMAGE_FORMAT_UNKNOWN, nullptr));
    ExpectQuadrants(progressive, 8);
    EXPECT_EQ(uint32_t(CXIMAGE_FORMAT_JPG), progressive.GetType());
}

TEST(CxImageCodec, BaselineJpegFromAFile) {
    CxImage original;
    ASSERT_TRUE(original.Create(64, 48, 24));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            original.SetPixelColor(x, y, y < 24 ? (x < 32 ? Rgb(255, 0, 0) : Rgb(0, 255, 0))
                                                : (x < 32 ? Rgb(0, 0, 255) : Rgb(255, 255, 255)));
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    ASSERT_TRUE(original.Encode(buffer, size, CXIMAGE_FORMAT_JPG));
    TempFolder folder;
    std::string path = folder.Write("frame.jpg", std::string(reinterpret_cast<char*>(buffer), size));
    CxImage::FreeMemory(buffer);

    CxImage loaded;
    ASSERT_TRUE(loaded.Load(path.c_str(), CXIMAGE_FORMAT_UNKNOWN));
    ExpectQuadrants(loaded, 8);
    EXPECT_FALSE(loaded.Load((folder / "missing.jpg").c_str()));
    EXPECT_FALSE(loaded.IsValid());
}

TEST(CxImageCodec, AskedFormatMustMatchTheData) {
    CxImage image;
    std::string jpeg = FixtureBytes(IDR_PROGRESSIVE_JPG);
    EXPECT_FALSE(Decode(image, jpeg, CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(image.IsValid());
    EXPECT_TRUE(Decode(image, jpeg, CXIMAGE_FORMAT_JPG));
}

TEST(CxImageStream, DecodeReadsOnePngBlockAndStopsAtItsEnd) {
    CxImage original;
    Paint(original, 20, 10);
    std::string png = EncodePng(original);
    std::string bytes = "HEAD" + png + "TRAILING BYTES";

    CxMemFile memory(reinterpret_cast<uint8_t*>(&bytes[0]), static_cast<uint32_t>(bytes.size()));
    ASSERT_TRUE(memory.Seek(4, SEEK_SET));
    CxImage decoded;
    ASSERT_TRUE(decoded.Decode(&memory, CXIMAGE_FORMAT_PNG));
    ExpectSamePixels(original, decoded);
    EXPECT_EQ(static_cast<int32_t>(4 + png.size()), memory.Tell());

    // The same through a runtime-library file, with a second block right behind the first.
    TempFolder folder;
    std::string path = folder.Write("blocks.bin", "HEAD" + png + png);
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, file);
    CxIOFile stream(file);
    stream.Seek(4, SEEK_SET);
    ASSERT_TRUE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(static_cast<int32_t>(4 + png.size()), stream.Tell());
    ASSERT_TRUE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(static_cast<int32_t>(4 + 2 * png.size()), stream.Tell());
    EXPECT_FALSE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));  // nothing left
    fclose(file);
}

TEST(CxImageStream, TruncatedOrCorruptPngFailsAndLeavesTheStreamInPlace) {
    CxImage original;
    Paint(original, 16, 16);
    std::string png = EncodePng(original);

    CxImage decoded;
    for (size_t length = 0; length < png.size(); ++length) {
        std::string cut = png.substr(0, length);
        CxMemFile memory(reinterpret_cast<uint8_t*>(&cut[0]), static_cast<uint32_t>(cut.size()));
        ASSERT_FALSE(decoded.Decode(&memory, CXIMAGE_FORMAT_PNG)) << "length " << length;
        ASSERT_EQ(0, memory.Tell());
        ASSERT_FALSE(Decode(decoded, cut, CXIMAGE_FORMAT_UNKNOWN));
    }

    // A chunk length pointing far beyond the stream.
    std::string huge = png;
    huge[8] = '\x7F';
    CxMemFile memory(reinterpret_cast<uint8_t*>(&huge[0]), static_cast<uint32_t>(huge.size()));
    EXPECT_FALSE(decoded.Decode(&memory, CXIMAGE_FORMAT_PNG));

    // Damaged compressed data: its checksum no longer matches.
    std::string damaged = png;
    size_t idat = damaged.find("IDAT");
    ASSERT_NE(std::string::npos, idat);
    damaged[idat + 6] ^= 0x55;
    EXPECT_FALSE(Decode(decoded, damaged, CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(decoded.IsValid());

    std::string garbage(300, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 37 + 11);
    EXPECT_FALSE(Decode(decoded, garbage, CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_FALSE(Decode(decoded, std::string(), CXIMAGE_FORMAT_UNKNOWN));
}

TEST(CxImageBitmap, RoundTripKeepsPixelsAndLeavesTheBitmapToTheCaller) {
    CxImage original;
    Paint(original, 33, 17);
    HBITMAP bitmap = original.MakeBitmap(nullptr);
    ASSERT_NE(nullptr, bitmap);

    CxImage copy;
    ASSERT_TRUE(copy.CreateFromHBITMAP(bitmap));
    ExpectSamePixels(original, copy);
    BITMAP info;
    EXPECT_NE(0, GetObjectA(bitmap, sizeof(info), &info));  // still the caller's
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(copy.CreateFromHBITMAP(nullptr));
}

TEST(CxImageResample, GivesExactlyTheAskedSize) {
    CxImage image;
    Paint(image, 1920, 1080);
    CxImage small;
    ASSERT_TRUE(image.Resample(240, 135, 0, &small));
    EXPECT_EQ(240u, small.GetWidth());
    EXPECT_EQ(135u, small.GetHeight());
    EXPECT_EQ(1920u, image.GetWidth());  // the source stays as it was

    ASSERT_TRUE(image.Resample2(201, 113, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT));
    EXPECT_EQ(201u, image.GetWidth());
    EXPECT_EQ(113u, image.GetHeight());

    CxImage dot;
    ASSERT_TRUE(dot.Create(1, 1, 24));
    ASSERT_TRUE(dot.Resample(37, 5, 0));
    EXPECT_EQ(37u, dot.GetWidth());
    EXPECT_EQ(5u, dot.GetHeight());
    EXPECT_FALSE(dot.Resample(0, 5, 0));
}

TEST(CxImageResample, FlatColourStaysFlatUpToTheEdges) {
    CxImage image;
    ASSERT_TRUE(image.Create(50, 40, 24));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) image.SetPixelColor(x, y, Rgb(90, 140, 200));
    CxImage bilinear, bicubic;
    ASSERT_TRUE(image.Resample(123, 17, 0, &bilinear));
    ASSERT_TRUE(image.Resample2(123, 97, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT, &bicubic));
    for (const CxImage* out : {&bilinear, &bicubic})
        for (uint32_t y = 0; y < out->GetHeight(); ++y)
            for (uint32_t x = 0; x < out->GetWidth(); ++x) {
                RGBQUAD c = out->GetPixelColor(x, y);
                ASSERT_EQ(90, c.rgbRed);
                ASSERT_EQ(140, c.rgbGreen);
                ASSERT_EQ(200, c.rgbBlue);
            }
}

TEST(CxImageResample, ShrinkingAveragesAFineChequerboard) {
    CxImage image;
    ASSERT_TRUE(image.Create(64, 64, 24));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) image.SetPixelColor(x, y, (x + y) % 2 ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
    ASSERT_TRUE(image.Resample(8, 8, 0));
    RGBQUAD c = image.GetPixelColor(4, 4);
    EXPECT_NEAR(128, c.rgbGreen, 8);  // grey, not aliased black or white
}

class CxImageDraw : public ::testing::Test {
protected:
    void SetUp() override {
        BITMAPINFO info = TopDownBitmapInfo(kSize, kSize);
        dc = CreateCompatibleDC(nullptr);
        section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, section);
        for (int i = 0; i < kSize * kSize; ++i) bits[i] = 0x00808080;  // grey background
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(section);
        DeleteDC(dc);
    }
    uint32_t At(int x, int y) {
        GdiFlush();
        return bits[y * kSize + x] & 0xFFFFFF;
    }

    static constexpr int kSize = 64;
    HDC dc = nullptr;
    HBITMAP section = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

TEST_F(CxImageDraw, StretchesIntoTheRectangleOnly) {
    CxImage image;
    ASSERT_TRUE(image.Create(2, 2, 24));
    image.SetPixelColor(0, 0, Rgb(255, 0, 0));
    image.SetPixelColor(1, 0, Rgb(255, 0, 0));
    image.SetPixelColor(0, 1, Rgb(0, 0, 255));
    image.SetPixelColor(1, 1, Rgb(0, 0, 255));
    RECT rect = {10, 10, 50, 30};
    ASSERT_NE(0, image.Draw(dc, rect, nullptr, false));
    EXPECT_EQ(0xFF0000u, At(10, 10));  // top row red (0x00RRGGBB in the DIB)
    EXPECT_EQ(0x0000FFu, At(49, 29));  // bottom row blue
    EXPECT_EQ(0x808080u, At(9, 10));
    EXPECT_EQ(0x808080u, At(50, 29));
    EXPECT_EQ(0x808080u, At(10, 30));

    ASSERT_NE(0, image.Draw(dc, rect, nullptr, true));
    EXPECT_EQ(0xFF0000u, At(10, 10));
}

TEST_F(CxImageDraw, AtOwnSizeAndWithTransparency) {
    CxImage image;
    ASSERT_TRUE(image.Create(4, 4, 32));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) image.SetPixelColor(x, y, Rgb(0, 255, 0, x < 2 ? 255 : 0), true);
    ASSERT_NE(0, image.Draw(dc, 20, 5, -1, -1, nullptr, false));
    EXPECT_EQ(0x00FF00u, At(20, 5));
    EXPECT_EQ(0x00FF00u, At(21, 8));
    EXPECT_EQ(0x808080u, At(22, 5));  // transparent: the background shows
    EXPECT_EQ(0x808080u, At(20, 9));

    RECT clip = {0, 0, 21, 64};
    ASSERT_NE(0, image.Draw(dc, 40, 40, 4, 4, &clip, false));
    EXPECT_EQ(0x808080u, At(40, 40));  // clipped away
}
