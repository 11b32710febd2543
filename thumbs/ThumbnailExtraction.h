// Making the picture of one track: a video's side image, cached thumbnail or grabbed frame, an
// audio file's cover. Runs on the thumbnail worker alone.
#pragma once

#include <windows.h>

#include "thumbs/ThumbRequest.h"

class CxImage;
class ThumbCache;

constexpr int kStoredThumbSize = 240;  // cached thumbnails fit 240 x 240

// The request's picture as a device-dependent bitmap that the caller owns; 0 when there is none.
// `cache` must already be open for the request's folder.
HBITMAP MakeThumbnailBitmap(const ThumbRequest& request, ThumbCache* cache);

// A video's picture, fitted into width x height: from a side image, the cache, or a grabbed frame,
// which is then cached. S_OK or E_FAIL.
HRESULT GetVideoThumbnail(const char* path, ThumbCache* cache, int width, int height, CxImage& image);

// Scales the image down to fit width x height, aspect ratio kept; never enlarges.
void FitImage(CxImage& image, int width, int height);
