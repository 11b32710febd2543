#include "thumbs/ThumbnailExtraction.h"

#include "base/MediaKind.h"
#include "base/Paths.h"
#include "thumbs/FitRect.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/TagLibrary.h"
#include "thumbs/ThumbCache.h"
#include "ximage/CxImage.h"

namespace {

// The box the picture must fit, for a size that is valid: the fitted size.
Rect FittedSize(const CxImage& image, int width, int height) {
    Rect rect = {0, 0, static_cast<int32_t>(image.GetWidth()), static_cast<int32_t>(image.GetHeight())};
    FitRect(rect, 0, 0, width, height, true);
    return rect;
}

// Remembers that the file has no picture (yet), so that it is not extracted again.
void StorePlaceholder(ThumbCache& cache, const char* path) {
    CxImage placeholder;
    placeholder.Create(1, 1, 24);
    cache.Add(path, placeholder);
}

// A side image beside the video: the ".JPG" one wins over the ".THM" one.
bool LoadSideImage(const char* path, CxImage& image) {
    return image.Load(ChangeExtension(path, ".JPG").c_str()) || image.Load(ChangeExtension(path, ".THM").c_str());
}

}  // namespace

HBITMAP MakeThumbnailBitmap(const ThumbRequest& request, ThumbCache* cache) {
    CxImage image;
    HRESULT status = E_FAIL;
    switch (ClassifyPath(request.path)) {
        case KindAudio:
            status = GetCoverArt(request.path, image);
            if (status == S_OK) FitImage(image, request.width, request.height);
            break;
        case KindVideo:
            status = GetVideoThumbnail(request.path, cache, request.width, request.height, image);
            break;
        default: return nullptr;
    }
    if (status != S_OK || !image.IsValid()) return nullptr;
    HBITMAP bitmap = image.MakeBitmap(nullptr);
    BITMAP info;
    if (bitmap && !GetObjectA(bitmap, sizeof(info), &info)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HRESULT GetVideoThumbnail(const char* path, ThumbCache* cache, int width, int height, CxImage& image) {
    HRESULT status = E_FAIL;
    if (LoadSideImage(path, image)) {
        status = S_OK;
    } else if (cache && cache->Lookup(path, image)) {
        // Known to the cache; a placeholder leaves the image empty, and no extraction is tried.
        status = S_OK;
    } else {
        if (cache) {
            // On disk before the slow and possibly hanging extraction, so that a file that brings
            // extraction down is not tried again.
            StorePlaceholder(*cache, path);
            cache->Flush();
        }
        GrabOutcome outcome = GrabFrame(path, kDefaultGrabTime, image);
        if (outcome != GrabOutcome::Frame) {
            // A grab cut short by a stop is no verdict on the file: the next visit tries it again.
            if (cache && outcome == GrabOutcome::Stopped) cache->Remove(path);
            else if (cache) StorePlaceholder(*cache, path);
            image.Destroy();
            return E_FAIL;
        }
        status = S_OK;
        if (cache) {
            Rect stored = FittedSize(image, kStoredThumbSize, kStoredThumbSize);
            image.Resample(stored.Width(), stored.Height(), 0);
            cache->Add(path, image);
        }
    }
    if (image.IsValid()) FitImage(image, width, height);
    return status;
}

void FitImage(CxImage& image, int width, int height) {
    if (width <= 0 || height <= 0 || !image.IsValid()) return;
    if (static_cast<int>(image.GetWidth()) == width && static_cast<int>(image.GetHeight()) == height) return;
    Rect fitted = FittedSize(image, width, height);
    if (fitted.Width() != static_cast<int>(image.GetWidth()) || fitted.Height() != static_cast<int>(image.GetHeight()))
        image.Resample(fitted.Width(), fitted.Height(), 0);
}
