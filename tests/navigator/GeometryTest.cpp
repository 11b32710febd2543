// Where things sit: the layout numbers from the settings and the arithmetic of the layout.
#include "navigator/Geometry.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// How a track list shows: thumbnails in a grid (with tag lines or without), thumbnails in a list,
// or text alone.
enum Look { kGrid, kTagGrid, kThumbList, kText };

// The settings laid out on a client 1920 pixels wide and `height` high.
Geometry Laid(ListMode mode, int column, int textSize, Look look, int height, LayoutNumbers* numbers = nullptr) {
    bool thumbnails = look != kText, iconView = look == kGrid || look == kTagGrid;
    LayoutNumbers n = ComputeLayoutNumbers(mode, column, textSize, thumbnails, iconView);
    if (numbers) *numbers = n;
    return Geometry({1920, height, mode, n.columns, n.rows, n.perPage, thumbnails, iconView, look == kTagGrid});
}

// Left, top, width and height.
std::tuple<int, int, int, int> Box(int left, int top, int width, int height) { return {left, top, width, height}; }
std::tuple<int, int, int, int> Box(const Rect& r) { return Box(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

// Text sizes 0 to 4 give 36, 30, 24, 18 or 12 entries a page (any other size as 2); a thumbnail
// list has half of them, a grid 10, 8, 6, 4 or 3 rows of the asked columns (at least one), albums
// and text lists one column. The header is (H - 4) / 25 high with thumbnails, else (H - 4) /
// (perPage + 1); cells share the rest less 2 at each edge, and are narrowed by 2 at each side. A
// grid's line is a quarter cell, any other line a cell; fonts follow from the line (halved for a
// thumbnail list): entries 0.7 of it in a grid (0.65 with tag lines), 0.9 in a thumbnail list,
// 0.8 without thumbnails; tag lines 0.5, 0.6 and 0.3; the header 0.6 of its height with
// thumbnails, else as an entry.
TEST(Geometry, LayoutPerTextSizeColumnsAndThumbnails) {
    // columns, rows, header height, last cell's left, top, width and height, line, fonts of header, entry, tag line
    struct Row { const char* what; ListMode mode; int column, textSize; Look look; int height; std::vector<int> want; };
    const Row rows[] = {
        {"Normal grid of 4", Tracks, 4, 2, kGrid, 1080, {4, 6, 43, 1441, 905, 475, 172, 43, 26, 30, 22}},
        {"Very Small grid of 3", Tracks, 3, 0, kGrid, 1080, {3, 10, 43, 1280, 972, 634, 103, 25, 26, 18, 13}},
        {"Small grid of 2 at 720", Tracks, 2, 1, kGrid, 720, {2, 8, 28, 962, 632, 954, 86, 21, 17, 15, 11}},
        {"Large grid of 5 with tags", Tracks, 5, 3, kTagGrid, 1080, {5, 4, 43, 1536, 819, 379, 258, 64, 26, 42, 32}},
        {"Very Large grid of 4 at 720", Tracks, 4, 4, kGrid, 720, {4, 3, 28, 1441, 488, 475, 229, 57, 17, 40, 29}},
        {"text size 7 as Normal", Tracks, 4, 7, kGrid, 1080, {4, 6, 43, 1441, 905, 475, 172, 43, 26, 30, 22}},
        {"a grid of column 0: one column", Tracks, 0, 2, kGrid, 1080, {1, 6, 43, 4, 905, 1912, 172, 172, 26, 60, 43}},
        {"Very Large thumbnail list", Tracks, 4, 4, kThumbList, 1080, {1, 6, 43, 4, 905, 1912, 172, 172, 26, 77, 52}},
        {"Small thumbnail list", Tracks, 1, 1, kThumbList, 1080, {1, 15, 43, 4, 997, 1912, 68, 68, 26, 31, 20}},
        {"Very Small text list", Tracks, 4, 0, kText, 1080, {1, 36, 29, 4, 1046, 1912, 29, 29, 23, 23, 9}},
        {"Large text list at 720", Tracks, 4, 3, kText, 720, {1, 18, 37, 4, 668, 1912, 37, 37, 30, 30, 11}},
        {"Very Small albums, grid set", Albums, 4, 0, kGrid, 1080, {1, 36, 29, 4, 1046, 1912, 29, 29, 23, 23, 9}},
        {"Very Large albums at 720", Albums, 1, 4, kText, 720, {1, 12, 55, 4, 662, 1912, 55, 55, 44, 44, 17}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        LayoutNumbers n;
        Geometry g = Laid(r.mode, r.column, r.textSize, r.look, r.height, &n);
        Rect last = g.ItemRect(n.perPage - 1);
        EXPECT_EQ(r.want, (std::vector<int>{n.columns, n.rows, g.HeaderHeight(), last.left, last.top, last.Width(),
                                            last.Height(), g.LineHeight(), g.FontHeight(kFontHeader),
                                            g.FontHeight(kFontEntry), g.FontHeight(kFontTag)}));
    }
    // A typed count of hundreds of millions: a page the arithmetic can hold, one row of cells.
    LayoutNumbers huge = ComputeLayoutNumbers(Tracks, 500000000, 0, true, true);
    EXPECT_GT(huge.perPage, 0);
    EXPECT_EQ(huge.rows * huge.columns, huge.perPage);
    EXPECT_LE(huge.columns, 4096);
}

// A cell 100 high (a thumbnail list of 6 on a client of 629: header 25, cells (629 - 4 - 25) / 6)
// holds a thumbnail of 80 x 70 and a frame inset by (100 - 70) / 4; insets below 5 become 4. The
// close button is the header's square less max(header / 5, 4) at each side.
TEST(Geometry, ThumbnailsFramesAndCloseButton) {
    Geometry g = Laid(Tracks, 1, 4, kThumbList, 629);
    Rect cell = g.ItemRect(0);
    EXPECT_EQ(std::make_tuple(25, 100, 80, 70, 7), std::make_tuple(g.HeaderHeight(), cell.Height(), g.ThumbWidth(),
                                                                    g.ThumbHeight(), g.ThumbPad()));
    EXPECT_EQ(Box(cell.left + 7, cell.top + 7, 94, 84), Box(g.ThumbFrameRect(0)));
    Geometry small = Laid(Tracks, 1, 1, kThumbList, 720);  // cells of 45: 36 x 31, inset (45 - 31) / 4 = 3
    EXPECT_EQ(Box(small.ItemRect(1).left + 4, small.ItemRect(1).top + 4, 44, 39), Box(small.ThumbFrameRect(1)));
    EXPECT_EQ(Box(1920 - 8 - 27, 8, 27, 27), Box(Laid(Tracks, 4, 2, kGrid, 1080).CloseButtonRect()));  // header 43
    EXPECT_EQ(Box(1920 - 4 - 10, 4, 10, 10), Box(Laid(Tracks, 4, 2, kGrid, 460).CloseButtonRect()));   // header 18
}
