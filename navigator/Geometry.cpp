#include "navigator/Geometry.h"

namespace {
int Round(double value) { return static_cast<int>(value + 0.5); }
int AtLeastOne(int value) { return value < 1 ? 1 : value; }
}  // namespace

int Geometry::HeaderHeight() const {
    int usable = s_.height - 4;
    return Thumbnails() ? usable / 25 : usable / (s_.perPage + 1);
}

Rect Geometry::ItemArea() const { return {2, 2 + HeaderHeight(), s_.width - 2, s_.height - 2}; }

Rect Geometry::ItemRect(int slot) const {
    Rect area = ItemArea();
    int columns = AtLeastOne(s_.columns);
    int cellHeight = area.Height() / AtLeastOne(s_.rows);
    int cellWidth = area.Width() / columns;
    int column = slot % columns, row = slot / columns;
    return {area.left + column * cellWidth + 2, area.top + row * cellHeight, area.left + (column + 1) * cellWidth - 2,
            area.top + (row + 1) * cellHeight};
}

Rect Geometry::CloseButtonRect() const {
    int hh = HeaderHeight();
    int d = hh / 5 > 4 ? hh / 5 : 4;
    int side = hh - 2 * d;
    return {s_.width - d - side, d, s_.width - d, hh - d};
}

int Geometry::ThumbWidth() const { return 8 * ItemRect(0).Height() / 10; }

int Geometry::ThumbHeight() const { return 7 * ItemRect(0).Height() / 10; }

int Geometry::ThumbPad() const {
    int pad = (ItemRect(0).Height() - ThumbHeight()) / 4;
    return pad < 5 ? 4 : pad;
}

Rect Geometry::ThumbFrameRect(int slot) const {
    Rect cell = ItemRect(slot);
    int pad = ThumbPad();
    return {cell.left + pad, cell.top + pad, cell.left + 3 * pad + ThumbWidth(), cell.top + 3 * pad + ThumbHeight()};
}

int Geometry::LineHeight() const {
    Rect area = ItemArea();
    if (s_.mode == Tracks && s_.columns >= 2) return (area.Height() / AtLeastOne(s_.rows)) / 4;
    return area.Height() / AtLeastOne(s_.perPage);
}

int Geometry::FontHeight(FontKind kind) const {
    double base = LineHeight();
    if (Thumbnails()) {
        if (s_.columns <= 1) base /= 2;
        switch (kind) {
            case kFontHeader: return Round(0.6 * HeaderHeight());
            case kFontEntry:
                if (s_.iconView) return Round((s_.showDetailInfo ? 0.65 : 0.7) * base);
                return Round(0.9 * base);
            case kFontTag: return Round((s_.iconView ? 0.5 : 0.6) * base);
        }
    }
    return Round((kind == kFontTag ? 0.3 : 0.8) * base);
}

int FrameImageIndex(int width) { return width < 80 ? 0 : width < 130 ? 1 : width < 200 ? 2 : 3; }

int CellImageIndex(int height) { return height < 60 ? 0 : height < 120 ? 1 : height < 180 ? 2 : 3; }

int PlaceholderIndex(int thumbWidth, int thumbHeight) {
    static const int kAtLeast[] = {160, 128, 96, 64, 48, 32, 24};
    for (int i = 0; i < 7; ++i)
        if (thumbWidth >= kAtLeast[i] && thumbHeight >= kAtLeast[i]) return i;
    return -1;
}
