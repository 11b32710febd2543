// Where things sit: the arithmetic of the layout, and which skin picture serves which size.
#include "navigator/Geometry.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

// A client 1920 pixels wide.
LayoutState Screen(int height, int columns, int rows, bool thumbnails = true, bool iconView = true,
                   bool detail = false, ListMode mode = Tracks) {
    return {1920, height, mode, columns, rows, columns * rows, thumbnails, iconView, detail};
}

// Left, top, width and height.
std::tuple<int, int, int, int> Box(int left, int top, int width, int height) { return {left, top, width, height}; }
std::tuple<int, int, int, int> Box(const Rect& r) { return Box(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

// A cell 100 high (header (629 - 4) / 25 = 25, cells (629 - 4 - 25) / 6) holds a thumbnail of
// 80 x 70 and a frame inset by (100 - 70) / 4. At 1080 the header is (1080 - 4) / 25 = 43 high;
// cells of 1916 / 4 = 479 by 1033 / 6 = 172 lie under it, narrowed by 2 at each side; the close
// button is a square of 27, inset 43 / 5 = 8.
TEST(Geometry, CellsThumbnailsFramesAndCloseButton) {
    Geometry g(Screen(629, 4, 6));
    Rect cell = g.ItemRect(0);
    EXPECT_EQ(std::make_tuple(25, 100, 80, 70, 7), std::make_tuple(g.HeaderHeight(), cell.Height(), g.ThumbWidth(),
                                                                    g.ThumbHeight(), g.ThumbPad()));
    EXPECT_EQ(Box(cell.left + 7, cell.top + 7, 94, 84), Box(g.ThumbFrameRect(0)));
    Geometry hd(Screen(1080, 4, 6));
    EXPECT_EQ(std::make_pair(2, 45), std::make_pair(hd.ItemArea().left, hd.ItemArea().top));
    EXPECT_EQ(Box(483, 217, 958 - 483, 172), Box(hd.ItemRect(5)));  // second row, second column
    EXPECT_EQ(Box(1920 - 8 - 27, 8, 27, 27), Box(hd.CloseButtonRect()));
    EXPECT_EQ(4, Geometry(Screen(100, 4, 6)).CloseButtonRect().top);  // a header of 3: the inset stays 4
}

// Header, line and font heights at 1080: a thumbnail list of six (cells of 172, fonts from half of
// it); the album list of 36 rows under a header of 1076 / 37; the grid, with and without tag lines.
TEST(Geometry, FontHeightsPerLayoutAt1080) {
    // layout -> header height, line height, font heights of header, entry and tag line
    const std::tuple<LayoutState, int, int, int, int, int> cases[] = {
        {Screen(1080, 1, 6, true, false), 43, 172, 26, 77, 52},
        {Screen(1080, 1, 36, false, false, false, Albums), 29, 29, 23, 23, 9},
        {Screen(1080, 4, 6, true, true, true), 43, 43, 26, 28, 22},
        {Screen(1080, 4, 6), 43, 43, 26, 30, 22},
    };
    for (const auto& [state, headerHeight, line, header, entry, tag] : cases) {
        Geometry g(state);
        SCOPED_TRACE(::testing::Message() << "line height " << line << ", entry " << entry);
        EXPECT_EQ(headerHeight, g.HeaderHeight());
        EXPECT_EQ(line, g.LineHeight());
        EXPECT_EQ(header, g.FontHeight(kFontHeader));
        EXPECT_EQ(entry, g.FontHeight(kFontEntry));
        EXPECT_EQ(tag, g.FontHeight(kFontTag));
    }
}

// Cell pictures change at heights 60, 120 and 180, frames at widths 80, 130 and 200; placeholders
// need both sides at least 160, 128, 96, 64, 48, 32 or 24.
TEST(SkinChoice, BoundariesOfEachSize) {
    for (auto c : {std::make_pair(59, 0), std::make_pair(60, 1), std::make_pair(179, 2), std::make_pair(180, 3)})
        EXPECT_EQ(c.second, CellImageIndex(c.first)) << c.first;
    for (auto f : {std::make_pair(79, 0), std::make_pair(80, 1), std::make_pair(200, 3)})
        EXPECT_EQ(f.second, FrameImageIndex(f.first)) << f.first;
    EXPECT_EQ(2, PlaceholderIndex(128, 112));  // the 64-pixel icons
    EXPECT_EQ(0, PlaceholderIndex(160, 160));
    EXPECT_EQ(6, PlaceholderIndex(30, 24));
    EXPECT_EQ(-1, PlaceholderIndex(200, 23));
}
