// A rectangle with the field order of a Windows RECT, for pure logic that does without
// <windows.h>.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};
