// Fitting a picture's size into a box, centred, aspect ratio kept. Pure arithmetic (halvings
// truncate toward zero): no <windows.h>.
#pragma once

#include "base/Rect.h"

// `rect` comes in holding the source size and goes out as the fitted rectangle, centred in the box
// {left, top, right, bottom}. With `noEnlarge` a source that fits keeps its own size.
void FitRect(Rect& rect, int left, int top, int right, int bottom, bool noEnlarge);
