// Making the picture of one track: a video's side image, cached thumbnail or grabbed frame, an
// audio file's cover. Runs on the thumbnail worker alone.
#pragma once

#include <windows.h>

#include "thumbs/ThumbRequest.h"

class CxImage;
class ThumbCache;

constexpr int kStoredThumbSize = 240;     // cached thumbnails fit 240 x 240
constexpr double kDefaultGrabTime = -1.0;  // the middle of the stream

// The request's picture as a device-dependent bitmap that the caller owns; 0 when there is none.
// `cache` must already be open for the request's folder.
HBITMAP MakeThumbnailBitmap(const ThumbRequest& request, ThumbCache* cache);

// A video's picture, fitted into width x height: from a side image, the cache, or a grabbed frame,
// which is then cached. S_OK or E_FAIL.
HRESULT GetVideoThumbnail(const char* path, ThumbCache* cache, int width, int height, CxImage& image);

// Scales the image down to fit width x height, aspect ratio kept; never enlarges.
void FitImage(CxImage& image, int width, int height);

// What a frame grab came to: a frame; none because the file defeated it; or none because the
// thread was asked to stop first, which says nothing about the file.
enum class GrabOutcome { Frame, Failed, Stopped };

// A frame of the video at `time` seconds (negative: the default position). A grab whose media
// detector hung counts as failed, whatever follows.
GrabOutcome GrabFrame(const char* path, double time, CxImage& image);
// A frame through the system's media stack; 0 when it cannot be had.
HBITMAP GrabFrameDirectShow(const char* path, double time);
// A frame five seconds in, made by the external program "ffmpeg_vx.exe" (searched for beside the
// host program, in the system folder, the Windows folder and the absolute folders of PATH, never
// in the current folder, where a planted one could wait); 0 when it gives none
// within five seconds, or when the calling thread's cancel event is set (`stopped` then says so).
// The program is ended when it is given up, and its output is deleted.
HBITMAP GrabFrameExternal(const char* path, bool* stopped = nullptr);

// An event that, once set, ends the calling thread's waits for slow extractions at once and lets
// no new one start, so that a thread asked to stop need not be terminated. Null: none.
void SetExtractionCancelEvent(HANDLE event);
