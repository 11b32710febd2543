// The image library as the plug-in uses it: PNG and JPEG in, PNG out and in blocks of streams,
// device bitmaps and resampling.
#include "ximage/CxImage.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/Gdi.h"
#include "tests/support/TempFolder.h"

namespace {

RGBQUAD Rgb(int r, int g, int b) { return {BYTE(b), BYTE(g), BYTE(r), 255}; }

// A 24-bit picture coloured by `colour`.
void Paint(CxImage& image, int width, int height, const std::function<RGBQUAD(int, int)>& colour) {
    ASSERT_TRUE(image.Create(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.SetPixelColor(x, y, colour(x, y));
}

std::string Encode(CxImage& image, uint32_t format) {
    uint8_t* buffer = nullptr;
    int32_t size = 0;
    EXPECT_TRUE(image.Encode(buffer, size, format));
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    CxImage::FreeMemory(buffer);
    return bytes;
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

}  // namespace

// A painted picture and the cache's 1 x 1 black placeholder as PNG blocks one after the other in a file:
// each decodes to its picture from the stream's position and leaves the stream at its end; what follows them,
// a damaged block or one cut anywhere gives no picture and leaves the stream where it was. The painted one also
// through a device bitmap, which stays the caller's.
TEST(CxImageCodec, PngBlocksRoundTripThroughStreamsWholeOrNotAtAll) {
    CxImage painted, placeholder, decoded, copy;
    Paint(painted, 61, 37, [](int x, int y) { return Rgb(x * 7, y * 11, (x * y) & 0xFF); });  // all unlike
    ASSERT_TRUE(placeholder.Create(1, 1, 24, 0));
    RGBQUAD black = placeholder.GetPixelColor(0, 0);
    EXPECT_EQ(0, black.rgbRed | black.rgbGreen | black.rgbBlue);
    std::string png = Encode(painted, CXIMAGE_FORMAT_PNG), huge = png, damaged = png;
    std::string blocks = png + Encode(placeholder, CXIMAGE_FORMAT_PNG);
    TempFolder folder;
    FILE* file = fopen(folder.Write("blocks.bin", "HEAD" + blocks + "TRAILING BYTES").c_str(), "rb");
    ASSERT_NE(nullptr, file);
    CxIOFile stream(file);
    stream.Seek(4, SEEK_SET);
    for (const CxImage* original : {&painted, &placeholder}) {
        ASSERT_TRUE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));
        EXPECT_TRUE(decoded.GetBpp() == 24 && !decoded.AlphaIsValid());
        ExpectSamePixels(*original, decoded);
    }
    EXPECT_EQ(static_cast<int32_t>(4 + blocks.size()), stream.Tell());
    EXPECT_FALSE(decoded.Decode(&stream, CXIMAGE_FORMAT_PNG));  // the trailing bytes
    EXPECT_EQ(static_cast<int32_t>(4 + blocks.size()), stream.Tell());
    fclose(file);
    huge[8] = '\x7F';  // a chunk length far beyond the data
    damaged[damaged.find("IDAT") + 6] ^= 0x55;  // its checksum no longer matches
    std::vector<std::string> bad = {huge, damaged};
    for (size_t length = 0; length < png.size(); ++length) bad.push_back(png.substr(0, length));
    for (std::string& bytes : bad) {
        auto* data = reinterpret_cast<uint8_t*>(&bytes[0]);
        CxMemFile memory(data, static_cast<uint32_t>(bytes.size()));
        ASSERT_FALSE(decoded.Decode(&memory, CXIMAGE_FORMAT_PNG)) << bytes.size() << " bytes";
        ASSERT_EQ(0, memory.Tell());
        ASSERT_FALSE(decoded.Decode(data, static_cast<uint32_t>(bytes.size()), CXIMAGE_FORMAT_UNKNOWN)) << bytes.size();
    }
    HBITMAP bitmap = painted.MakeBitmap(nullptr);
    ASSERT_TRUE(bitmap && copy.CreateFromHBITMAP(bitmap));
    ExpectSamePixels(painted, copy);
    EXPECT_TRUE(DeleteObject(bitmap));
}

// What no picture of ours needs is refused before it is decoded, copied or read whole: a picture
// larger than 8192 on a side, a file over 32 MB (however little of it the picture takes).
TEST(CxImageCodec, RefusesPicturesLargerThanAnyOfOursNeedsAndFilesOver32MegabytesBeforeReadingThem) {
    const struct { const char* what; uint32_t width, height, format; bool decodes; } pictures[] = {
        {"as wide as allowed", 8192, 2, CXIMAGE_FORMAT_PNG, true},
        {"one pixel wider", 8193, 2, CXIMAGE_FORMAT_PNG, false},
        {"one pixel taller", 2, 8193, CXIMAGE_FORMAT_JPG, false},
    };
    for (const auto& p : pictures) {
        CxImage image, decoded;
        ASSERT_TRUE(image.Create(p.width, p.height, 24));
        std::string bytes = Encode(image, p.format);
        EXPECT_EQ(p.decodes, decoded.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0)) << p.what;
        OwnedBitmap bitmap(image.MakeBitmap(nullptr));  // as a grabbed frame or a cover comes
        EXPECT_EQ(p.decodes, decoded.CreateFromHBITMAP(bitmap)) << p.what << ", from a bitmap";
    }
    CxImage small;
    ASSERT_TRUE(small.Create(4, 4, 24));
    TempFolder folder;
    const LONGLONG allowed = 32LL << 20;
    for (LONGLONG size : {allowed, allowed + 1, 3LL << 30}) {
        std::string path = folder.Write("side.jpg", Encode(small, CXIMAGE_FORMAT_JPG));
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER end = {};
        end.QuadPart = size;  // sparse: zeros after the picture
        ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        EXPECT_EQ(size == allowed, CxImage().Load(path.c_str())) << size << " bytes";
    }
}

// Bilinear and bicubic, larger and smaller: exactly the asked size, a flat colour flat up to the edges;
// a fine chequerboard shrinks to grey.
TEST(CxImageResample, GivesTheAskedSizeKeepsAFlatColourFlatAndAverages) {
    const struct { int width, height; bool bicubic; } sizes[] = {
        {123, 17, false}, {20, 16, false}, {123, 97, true}, {7, 3, true}};
    for (const auto& s : sizes) {
        CxImage flat;
        Paint(flat, 50, 40, [](int, int) { return Rgb(90, 140, 200); });
        ASSERT_TRUE(s.bicubic ? flat.Resample2(s.width, s.height, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT)
                              : flat.Resample(s.width, s.height, 0));
        ASSERT_TRUE(int(flat.GetWidth()) == s.width && int(flat.GetHeight()) == s.height) << s.width << "x" << s.height;
        for (int i = 0; i < s.width * s.height; ++i) {
            RGBQUAD c = flat.GetPixelColor(i % s.width, i / s.width);
            ASSERT_TRUE(c.rgbRed == 90 && c.rgbGreen == 140 && c.rgbBlue == 200) << s.width << "x" << s.height;
        }
    }
    CxImage board;
    Paint(board, 64, 64, [](int x, int y) { return Rgb(0, (x + y) % 2 * 255, 0); });
    ASSERT_TRUE(board.Resample(8, 8, 0));
    EXPECT_NEAR(128, board.GetPixelColor(4, 4).rgbGreen, 8);  // grey, not aliased black or white
}

