// Fitting a picture into a box: the sizes a user sees for covers, frames and the cache.
#include "thumbs/FitRect.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(FitRect, SizesAndPlaces) {
    const struct { int srcW, srcH, boxW, boxH; bool noEnlarge; Rect want; } cases[] = {
        {30, 20, 40, 40, true, {5, 10, 35, 30}},          // small enough: its own size, centred
        {30, 20, 40, 40, false, {0, 6, 40, 33}},          // enlarged: 40 x 27 (26.67 rounded)
        {1920, 1080, 240, 240, true, {0, 52, 240, 187}},  // a full-HD frame is cached as 240 x 135
        {600, 600, 96, 84, true, {6, 0, 90, 84}},  // a square cover in a wide cell
        {240, 240, 240, 240, true, {0, 0, 240, 240}},
    };
    for (const auto& c : cases) {
        Rect r = {0, 0, c.srcW, c.srcH};
        FitRect(r, 0, 0, c.boxW, c.boxH, c.noEnlarge);
        EXPECT_EQ(std::tie(c.want.left, c.want.top, c.want.right, c.want.bottom),
                  std::tie(r.left, r.top, r.right, r.bottom))
            << c.srcW << "x" << c.srcH << " in " << c.boxW << "x" << c.boxH << (c.noEnlarge ? "" : ", enlarged");
    }
}
