// Where everything sits in the Navigator, all derived from the client size and the layout
// numbers. Pure arithmetic (integer divisions truncate toward zero): no <windows.h>.
#pragma once

#include <cstdint>

#include "base/Rect.h"
#include "navigator/EntryModel.h"

struct LayoutState {
    int width = 0;  // client size
    int height = 0;
    ListMode mode = Tracks;
    int columns = 1;
    int rows = 1;
    int perPage = 1;
    bool showThumbnail = false;
    bool iconView = false;
    bool showDetailInfo = false;
};

enum FontKind { kFontHeader = 0, kFontEntry = 1, kFontTag = 2 };

// Which skin picture serves a size: the frame by its width (64, 100, 160 or 240 pixels wide),
// the cell background by its height (68, 108, 172 or 260 high), the placeholder by the picture
// area (128, 96, 64, 48, 32, 24 or 16 square; -1 when the area is under 24 either way).
int FrameImageIndex(int width);
int CellImageIndex(int height);
int PlaceholderIndex(int thumbWidth, int thumbHeight);

class Geometry {
public:
    explicit Geometry(const LayoutState& state) : s_(state) {}

    bool Thumbnails() const { return s_.mode == Tracks && s_.showThumbnail; }
    int HeaderHeight() const;
    Rect Client() const { return {0, 0, s_.width, s_.height}; }
    Rect HeaderBand() const { return {0, 0, s_.width, HeaderHeight()}; }
    Rect ItemArea() const;
    Rect ItemRect(int slot) const;
    Rect CloseButtonRect() const;
    int ThumbWidth() const;
    int ThumbHeight() const;
    // The inset of the frame in its cell, and of the picture in its frame.
    int ThumbPad() const;
    Rect ThumbFrameRect(int slot) const;
    int LineHeight() const;
    int FontHeight(FontKind kind) const;

private:
    LayoutState s_;
};
