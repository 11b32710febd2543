#include "thumbs/FitRect.h"

#include <algorithm>

void FitRect(Rect& rect, int left, int top, int right, int bottom, bool noEnlarge) {
    int boxW = right - left, boxH = bottom - top;
    int srcW = rect.Width(), srcH = rect.Height();
    if (noEnlarge && srcW <= boxW && srcH <= boxH) {
        rect.left = left + (boxW - srcW) / 2;
        rect.top = top + (boxH - srcH) / 2;
        rect.right = rect.left + srcW;
        rect.bottom = rect.top + srcH;
        return;
    }
    int newW = boxW, newH = boxH;
    if (srcW > 0 && srcH > 0 && boxH > 0) {
        double srcAspect = static_cast<double>(srcW) / srcH;
        double boxAspect = static_cast<double>(boxW) / boxH;
        if (boxAspect > srcAspect)
            newW = static_cast<int>(boxH * srcAspect + 0.5);
        else
            newH = static_cast<int>(boxW / srcAspect + 0.5);
    }
    rect.left = left + (boxW - newW) / 2;
    rect.top = top + (boxH - newH) / 2;
    rect.right = std::min(rect.left + newW, right);
    rect.bottom = std::min(rect.top + newH, bottom);
}
