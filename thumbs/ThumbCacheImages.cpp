// The cache's thumbnails as images: PNG blocks decoded and encoded through the image library.
#include "thumbs/ThumbCache.h"
#include "ximage/CxImage.h"

bool ThumbCache::Lookup(const std::string& path, CxImage& image) {
    image.Destroy();
    bool found = LookupBlock(path, [&](const std::vector<uint8_t>& block) {
        return image.Decode(block.data(), static_cast<uint32_t>(block.size()), CXIMAGE_FORMAT_PNG);
    });
    if (!found) return false;
    if (image.GetWidth() < kPlaceholderBelow || image.GetHeight() < kPlaceholderBelow) image.Destroy();
    return true;
}

bool ThumbCache::Add(const std::string& path, CxImage& image) {
    uint8_t* encoded = nullptr;
    int32_t size = 0;
    if (!image.Encode(encoded, size, CXIMAGE_FORMAT_PNG)) return false;
    bool stored = AddBlock(path, encoded, static_cast<size_t>(size));
    CxImage::FreeMemory(encoded);
    return stored;
}
