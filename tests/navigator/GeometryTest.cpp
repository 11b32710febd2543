// Where things sit: the arithmetic of the layout, and which skin picture serves which size.
#include "navigator/Geometry.h"

#include <gtest/gtest.h>

namespace {

LayoutState Grid(int height, int columns = 4, int textSize = 2) {
    LayoutNumbers n = ComputeLayoutNumbers(Tracks, columns, textSize, true, true);
    LayoutState s;
    s.width = 1920;
    s.height = height;
    s.mode = Tracks;
    s.columns = n.columns;
    s.rows = n.rows;
    s.perPage = n.perPage;
    s.showThumbnail = s.iconView = true;
    return s;
}

}  // namespace

TEST(Geometry, ACellOf100PixelsGivesItsThumbnailAndFrame) {
    Geometry g(Grid(629));  // header (629 - 4) / 25 = 25, cells (629 - 4 - 25) / 6 = 100
    EXPECT_EQ(25, g.HeaderHeight());
    Rect cell = g.ItemRect(0);
    ASSERT_EQ(100, cell.Height());
    EXPECT_EQ(80, g.ThumbWidth());
    EXPECT_EQ(70, g.ThumbHeight());
    EXPECT_EQ(7, g.ThumbPad());
    Rect frame = g.ThumbFrameRect(0);
    EXPECT_EQ(cell.left + 7, frame.left);
    EXPECT_EQ(cell.top + 7, frame.top);
    EXPECT_EQ(94, frame.Width());
    EXPECT_EQ(84, frame.Height());
}

TEST(Geometry, GridCellsTileTheItemArea) {
    Geometry g(Grid(1080));
    Rect area = g.ItemArea();
    EXPECT_EQ(2, area.left);
    EXPECT_EQ(2 + (1080 - 4) / 25, area.top);
    int cw = area.Width() / 4, ch = area.Height() / 6;
    Rect fifth = g.ItemRect(5);  // second row, second column
    EXPECT_EQ(area.left + cw + 2, fifth.left);
    EXPECT_EQ(area.left + 2 * cw - 2, fifth.right);
    EXPECT_EQ(area.top + ch, fifth.top);
    EXPECT_EQ(ch / 4, g.LineHeight());
}

TEST(Geometry, CloseButtonIsASquareAtTheRightOfTheHeader) {
    Geometry g(Grid(1080));  // header 43: inset 8, side 27
    Rect close = g.CloseButtonRect();
    EXPECT_EQ(Rect({1920 - 8 - 27, 8, 1920 - 8, 43 - 8}).left, close.left);
    EXPECT_EQ(27, close.Width());
    EXPECT_EQ(27, close.Height());
    EXPECT_EQ(1912, close.right);

    LayoutState tiny = Grid(100);  // header 3: the inset stays 4
    Rect small = Geometry(tiny).CloseButtonRect();
    EXPECT_EQ(4, small.top);
}

TEST(Geometry, FontHeightsPerLayoutAt1080) {
    // A thumbnail list of six very large entries: cells of 172, text at 0.9 and tags at 0.6 of
    // half a cell, the header at 0.6 of its 43 pixels.
    LayoutNumbers n = ComputeLayoutNumbers(Tracks, 3, 4, true, false);
    LayoutState list = Grid(1080);
    list.columns = n.columns;
    list.rows = n.rows;
    list.perPage = n.perPage;
    list.iconView = false;
    Geometry g(list);
    EXPECT_EQ(172, g.ItemRect(0).Height());
    EXPECT_EQ(77, g.FontHeight(kFontEntry));
    EXPECT_EQ(52, g.FontHeight(kFontTag));
    EXPECT_EQ(26, g.FontHeight(kFontHeader));

    // The album list in very small type: 36 rows under a header of 1076 / 37.
    LayoutState albums = list;
    albums.mode = Albums;
    albums.columns = 1;
    albums.rows = albums.perPage = 36;
    Geometry ga(albums);
    EXPECT_EQ(29, ga.HeaderHeight());
    EXPECT_EQ(29, ga.LineHeight());
    EXPECT_EQ(23, ga.FontHeight(kFontEntry));
    EXPECT_EQ(9, ga.FontHeight(kFontTag));

    // The grid with tag lines: a quarter cell of 43, text at 0.65 of it, tags at 0.5.
    LayoutState grid = Grid(1080);
    grid.showDetailInfo = true;
    Geometry gg(grid);
    EXPECT_EQ(43, gg.LineHeight());
    EXPECT_EQ(28, gg.FontHeight(kFontEntry));
    EXPECT_EQ(22, gg.FontHeight(kFontTag));
}

TEST(SkinChoice, BoundariesOfEachSize) {
    EXPECT_EQ(0, CellImageIndex(59));
    EXPECT_EQ(1, CellImageIndex(60));
    EXPECT_EQ(2, CellImageIndex(179));
    EXPECT_EQ(3, CellImageIndex(180));
    EXPECT_EQ(0, FrameImageIndex(79));
    EXPECT_EQ(1, FrameImageIndex(80));
    EXPECT_EQ(3, FrameImageIndex(200));
    EXPECT_EQ(2, PlaceholderIndex(128, 112));  // the 64-pixel icons
    EXPECT_EQ(0, PlaceholderIndex(160, 160));
    EXPECT_EQ(6, PlaceholderIndex(30, 24));
    EXPECT_EQ(-1, PlaceholderIndex(200, 23));
}
