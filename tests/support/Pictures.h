// Pictures for tests to put where the plug-in finds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ximage/CxImage.h"  // the formats

// A width x height picture of one colour, encoded as `format` (CXIMAGE_FORMAT_PNG or _JPG).
std::string EncodedPicture(int width, int height, COLORREF colour, uint32_t format);
// How many pixels of a picture file are near this colour (each channel within 12, as a JPEG's
// colours are); -1 when the file does not decode.
long PixelsNear(const std::string& path, COLORREF colour);
