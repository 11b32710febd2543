// The Navigator's painting: the background, frames, header, close button, entries with their
// thumbnails and tag lines, and the delete box. Skin pictures where the module has them, the
// colour table elsewhere. It draws the list it is given; the window decides when and where.
#pragma once

#include <windows.h>

#include <string>

#include "navigator/Geometry.h"
#include "navigator/ListState.h"
#include "navigator/ThumbnailPipeline.h"
#include "settings/PluginSettings.h"
#include "ximage/CxImage.h"

inline RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Skin image slots.
enum SkinSlot {
    kSkinBackground,
    kSkinFrame,
    kSkinFrameHot,
    kSkinFrameSelected,
    kSkinFrameSelectedHot,
    kSkinClose,
    kSkinCloseHot,
    kSkinClosePressed,
    kSkinCellSelected,
    kSkinCellPressed,
    kSkinPlaceholderVideo,
    kSkinPlaceholderAudio,
    kSkinPlaceholderOther,
    kSkinSlotCount
};

// The display settings as they stood at the last list load. Drawing takes them from here, so that
// options changed meanwhile take effect, all together, at the next load.
struct LoadedDisplay {
    bool thumbnails = false;
    bool iconView = false;
    bool detailInfo = false;
    std::string font;
};

// One paint: its device context, where everything sits, and the colours, worked out once.
struct Canvas {
    HDC dc;
    Geometry layout;
    const COLORREF* colours;
};

class NavigatorPainter {
public:
    // Paints `list`, with the pictures that `thumbnails` holds.
    NavigatorPainter(const ListState& list, const ThumbnailPipeline& thumbnails) : list_(list), thumbnails_(thumbnails) {}
    NavigatorPainter(const NavigatorPainter&) = delete;
    NavigatorPainter& operator=(const NavigatorPainter&) = delete;

    // A list load fixes the look: the display settings now and, for a track list, the skin
    // pictures at the sizes of `layout` (the background at the size of `work`).
    void FixLook(const PluginSettings& settings);
    void LoadSkin(const Geometry& layout, const RECT& work);
    const LoadedDisplay& Look() const { return look_; }
    const CxImage& Skin(SkinSlot slot) const { return skin_[slot]; }
    // Where everything sits in a client area of this size, for the list and the look as they are.
    Geometry Layout(int width, int height) const;

    // The whole window. A partial repaint draws only the header and cells it touches.
    void DrawAll(const Canvas& canvas);
    void DrawHeader(const Canvas& canvas);
    void DrawCloseButton(const Canvas& canvas, int state);
    // An entry's caption and tag line, redrawn in place over its cell: the look under the mouse.
    void DrawLabels(const Canvas& canvas, int index, int state);
    // The box of a delete that waits for its second press; nothing when none waits.
    void DrawDeleteBox(const Canvas& canvas);

private:
    void DrawItem(const Canvas& canvas, int index, int state);
    void DrawItemText(const Canvas& canvas, int index, int state);
    void DrawItemDetail(const Canvas& canvas, int index, int state);
    void DrawThumbFrame(const Canvas& canvas, int index, int state);
    void DrawThumbnail(const Canvas& canvas, int index, int state);
    // Draws the entry's picture from the thumbnail image list; false when it has none yet.
    bool DrawThumbnailImage(const Canvas& canvas, int index);
    // Makes the picture of `slot` from resource `id` at the given size (0: its own), unless the
    // slot already holds exactly that.
    bool LoadSkinImage(int slot, int width, int height, int id, const char* type, bool useResample2);
    HFONT CreateNavigatorFont(int height) const;

    const ListState& list_;
    const ThumbnailPipeline& thumbnails_;
    LoadedDisplay look_;
    CxImage skin_[kSkinSlotCount];
    struct SkinMade {
        int id = 0;
        int width = 0;
        int height = 0;
    } skinMade_[kSkinSlotCount];
};
