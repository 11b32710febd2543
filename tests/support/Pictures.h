// Pictures for tests to put where the plug-in finds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ximage/CxImage.h"  // the formats

// A width x height picture of one colour, encoded as `format` (CXIMAGE_FORMAT_PNG or _JPG).
std::string EncodedPicture(int width, int height, COLORREF colour, uint32_t format);
// An MP3 whose ID3v2.3 tag holds one front cover; `claimed` overstates the frame's size.
std::string Mp3WithCover(const std::string& picture, uint32_t claimed = 0);

// What the fake frame grabber did for a media file (each run adds "run PID" to the file's
// ".runs"): how often it started, and how many of those processes still live.
struct GrabberRuns {
    int started = 0;
    int running = 0;
};
GrabberRuns GrabberRunsOf(const std::string& media);
// How many of the player's two decoder keys hold "Converting" = 1.
int ConvertingKeys();
