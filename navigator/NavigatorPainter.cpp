// Drawing the Navigator: skin pictures where the module has them, the colour table elsewhere.
#include <cstdio>

#include "base/Gdi.h"
#include "base/ModuleState.h"
#include "base/Paths.h"
#include "navigator/ItemState.h"
#include "navigator/NavigatorPainter.h"
#include "res/resource.h"

namespace {

// Caption and tag colours by state; an ordinary or current entry under the mouse takes the hot one.
int CaptionColour(int state) {
    int base = state & 0xFF;
    if ((state & kStateHot) && base != kStatePressed) return kColourHotText;
    return base == kStatePressed ? kColourPressedText : base == kStateSelected ? kColourSelectedText : kColourText;
}

int TagColour(int state) {
    int base = state & 0xFF;
    if ((state & kStateHot) && base != kStatePressed) return kColourHotTag;
    return base == kStatePressed ? kColourPressedTag : base == kStateSelected ? kColourSelectedTag : kColourTag;
}

void Fill(HDC dc, RECT rect, COLORREF colour) {
    SolidBrush brush(colour);
    FillRect(dc, &rect, brush);
}

// A one-pixel frame around `rect` and another one pixel inside it.
void DoubleFrame(HDC dc, RECT rect, COLORREF colour) {
    SolidBrush brush(colour);
    FrameRect(dc, &rect, brush);
    InflateRect(&rect, -1, -1);
    FrameRect(dc, &rect, brush);
}

// Puts the number where the text has "%d" and "%" where it has "%%"; any other '%' stays as it is,
// so that a translated text cannot make the formatting read what it was not given.
std::string FormatNumber(const std::string& text, int number) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 'd' || text[i + 1] == '%')) {
            out += text[i + 1] == 'd' ? std::to_string(number) : "%";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

void NavigatorPainter::FixLook(const PluginSettings& settings) {
    look_ = {settings.showThumbnail != 0, settings.iconView != 0, settings.showDetailInfo != 0, settings.textFont};
}

Geometry NavigatorPainter::Layout(int width, int height) const {
    LayoutState state;
    state.width = width;
    state.height = height;
    state.mode = list_.Mode();
    state.columns = list_.Layout().columns;
    state.rows = list_.Layout().rows;
    state.perPage = list_.Layout().perPage;
    state.showThumbnail = look_.thumbnails;
    state.iconView = look_.iconView;
    state.showDetailInfo = look_.detailInfo;
    return Geometry(state);
}

HFONT NavigatorPainter::CreateNavigatorFont(int height) const {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(font.lfFaceName, look_.font.empty() ? "Arial" : look_.font.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

bool NavigatorPainter::LoadSkinImage(int slot, int width, int height, int id, const char* type, bool useResample2) {
    CxImage& image = skin_[slot];
    SkinMade& made = skinMade_[slot];
    if (image.IsValid() && made.id == id && made.width == width && made.height == height) return true;
    image.Destroy();
    made = {};
    // Skin pictures always come from the module itself, never from a language pack.
    HMODULE module = ThisModuleState().instance;
    HRSRC resource = id ? FindResourceA(module, MAKEINTRESOURCEA(id), type) : nullptr;
    if (!resource || !image.LoadResource(resource, CXIMAGE_FORMAT_UNKNOWN, module)) return false;
    if (width > 0 && height > 0) {
        if (useResample2)
            image.Resample2(width, height, CxImage::IM_BICUBIC2, CxImage::OM_REPEAT);
        else
            image.Resample(width, height, 0);
    }
    if (image.IsValid()) made = {id, width, height};
    return image.IsValid();
}

void NavigatorPainter::LoadSkin(const Geometry& layout, const RECT& work) {
    LoadSkinImage(kSkinBackground, work.right - work.left, work.bottom - work.top, IDR_SKIN_BACKGROUND, "JPEG",
                  false);

    Rect frame = layout.ThumbFrameRect(0);
    int sizeIndex = FrameImageIndex(frame.Width());
    static const int kFrames[4][4] = {
        {IDR_SKIN_FRAME_64, IDR_SKIN_FRAME_100, IDR_SKIN_FRAME_160, IDR_SKIN_FRAME_240},
        {IDR_SKIN_FRAME_HOT_64, IDR_SKIN_FRAME_HOT_100, IDR_SKIN_FRAME_HOT_160, IDR_SKIN_FRAME_HOT_240},
        {IDR_SKIN_FRAME_SELECTED_64, IDR_SKIN_FRAME_SELECTED_100, IDR_SKIN_FRAME_SELECTED_160,
         IDR_SKIN_FRAME_SELECTED_240},
        {IDR_SKIN_FRAME_SELECTED_HOT_64, IDR_SKIN_FRAME_SELECTED_HOT_100, IDR_SKIN_FRAME_SELECTED_HOT_160,
         IDR_SKIN_FRAME_SELECTED_HOT_240}};
    for (int i = 0; i < 4; ++i)
        LoadSkinImage(kSkinFrame + i, frame.Width(), frame.Height(), kFrames[i][sizeIndex], "PNG", true);

    for (int i = 0; i < 3; ++i) LoadSkinImage(kSkinClose + i, 0, 0, IDR_SKIN_CLOSE + i, "PNG", false);

    Rect cell = layout.ItemRect(0);
    int cellIndex = CellImageIndex(cell.Height());
    static const int kCells[2][4] = {
        {IDR_SKIN_CELL_SELECTED_68, IDR_SKIN_CELL_SELECTED_108, IDR_SKIN_CELL_SELECTED_172, IDR_SKIN_CELL_SELECTED_260},
        {IDR_SKIN_CELL_PRESSED_68, IDR_SKIN_CELL_PRESSED_108, IDR_SKIN_CELL_PRESSED_172, IDR_SKIN_CELL_PRESSED_260}};
    for (int i = 0; i < 2; ++i)
        LoadSkinImage(kSkinCellSelected + i, cell.Width(), cell.Height(), kCells[i][cellIndex], "PNG", false);

    static const int kPlaceholders[3][7] = {
        {IDR_SKIN_PLACEHOLDER_VIDEO_128, IDR_SKIN_PLACEHOLDER_VIDEO_96, IDR_SKIN_PLACEHOLDER_VIDEO_64,
         IDR_SKIN_PLACEHOLDER_VIDEO_48, IDR_SKIN_PLACEHOLDER_VIDEO_32, IDR_SKIN_PLACEHOLDER_VIDEO_24,
         IDR_SKIN_PLACEHOLDER_VIDEO_16},
        {IDR_SKIN_PLACEHOLDER_AUDIO_128, IDR_SKIN_PLACEHOLDER_AUDIO_96, IDR_SKIN_PLACEHOLDER_AUDIO_64,
         IDR_SKIN_PLACEHOLDER_AUDIO_48, IDR_SKIN_PLACEHOLDER_AUDIO_32, IDR_SKIN_PLACEHOLDER_AUDIO_24,
         IDR_SKIN_PLACEHOLDER_AUDIO_16},
        {IDR_SKIN_PLACEHOLDER_OTHER_128, IDR_SKIN_PLACEHOLDER_OTHER_96, IDR_SKIN_PLACEHOLDER_OTHER_64,
         IDR_SKIN_PLACEHOLDER_OTHER_48, IDR_SKIN_PLACEHOLDER_OTHER_32, IDR_SKIN_PLACEHOLDER_OTHER_24,
         IDR_SKIN_PLACEHOLDER_OTHER_16}};
    int size = PlaceholderIndex(layout.ThumbWidth(), layout.ThumbHeight());
    // Cells too small for any placeholder get none (resource 0: an empty picture).
    for (int i = 0; i < 3; ++i)
        LoadSkinImage(kSkinPlaceholderVideo + i, 0, 0, size >= 0 ? kPlaceholders[i][size] : 0, "PNG", false);
}

void NavigatorPainter::DrawAll(const Canvas& canvas) {
    HDC dc = canvas.dc;
    const Geometry& layout = canvas.layout;
    RECT client = ToRect(layout.Client());
    if (skin_[kSkinBackground].IsValid())
        skin_[kSkinBackground].Draw(dc, client, nullptr, false);
    else
        Fill(dc, client, canvas.colours[kColourBackground]);
    DoubleFrame(dc, client, canvas.colours[kColourFrame]);
    // A partial repaint (an arriving thumbnail, a moved selection) leaves the header alone.
    RECT band = ToRect(layout.HeaderBand());
    if (RectVisible(dc, &band)) DrawHeader(canvas);
    for (int index = list_.Top(); index < list_.PageEnd(); ++index) {
        int state = index == list_.Pressed()    ? kStatePressed
                    : index == list_.Selected() ? kStateSelected
                                                : kStateNormal;
        if (index == list_.Hot()) state |= kStateHot;
        DrawItem(canvas, index, state);
    }
    // A delete that waits for its second press keeps its box over whatever was repainted.
    DrawDeleteBox(canvas);
}

void NavigatorPainter::DrawItem(const Canvas& canvas, int index, int state) {
    HDC dc = canvas.dc;
    int slot = index - list_.Top();
    if (!list_.OnPage(index)) return;
    const Geometry& layout = canvas.layout;
    RECT cell = ToRect(layout.ItemRect(slot));
    // A partial repaint draws only the cells it touches.
    if (!RectVisible(dc, &cell)) return;
    int base = state & 0xFF;
    if (base == kStateSelected || base == kStatePressed) {
        CxImage& image = skin_[base == kStateSelected ? kSkinCellSelected : kSkinCellPressed];
        if (image.IsValid())
            image.Draw(dc, cell, nullptr, false);
        else
            Fill(dc, cell, canvas.colours[base == kStateSelected ? kColourSelectedCell : kColourPressedCell]);
    }
    DrawItemText(canvas, index, state);
    if (layout.Thumbnails()) {
        DrawThumbnail(canvas, index, state);
        if (look_.detailInfo) DrawItemDetail(canvas, index, state);
    }
}

void NavigatorPainter::DrawItemText(const Canvas& canvas, int index, int state) {
    HDC dc = canvas.dc;
    int slot = index - list_.Top();
    if (!list_.OnPage(index)) return;
    const NavigatorEntry& entry = list_.Entries()[index];
    char text[1024];
    if (list_.Mode() == Tracks) {
        snprintf(text, sizeof(text), "[%03d] %s", index + 1, GetFileNamePart(std::string(entry.path), true).c_str());
    } else if (!entry.qualifier.empty()) {
        snprintf(text, sizeof(text), "[%03d] %s / %s", index + 1, entry.qualifier.data(), entry.name.data());
    } else {
        snprintf(text, sizeof(text), "[%03d] %s", index + 1, entry.name.data());
    }

    const Geometry& layout = canvas.layout;
    RECT cell = ToRect(layout.ItemRect(slot));
    int ch = cell.bottom - cell.top;
    RECT rect = cell;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS;
    if (!layout.Thumbnails()) {
        InflateRect(&rect, -(ch / 8), 0);
        rect.bottom -= ch / 8;
    } else {
        RECT frame = ToRect(layout.ThumbFrameRect(slot));
        int pad = frame.top - cell.top;
        rect = RECT{frame.right + pad, frame.top - pad / 2, cell.right - pad, frame.bottom};
        if (list_.Layout().columns > 1)
            format = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS |
                     DT_NOFULLWIDTHCHARBREAK;
        if (look_.detailInfo) {
            format &= ~static_cast<UINT>(DT_VCENTER);
            rect.bottom -= layout.FontHeight(kFontTag) * (look_.iconView ? 2 : 1);
        }
    }
    SelectedFont font(dc, CreateNavigatorFont(layout.FontHeight(kFontEntry)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, canvas.colours[CaptionColour(state)]);
    DrawTextA(dc, text, -1, &rect, format);
}

void NavigatorPainter::DrawItemDetail(const Canvas& canvas, int index, int state) {
    HDC dc = canvas.dc;
    int slot = index - list_.Top();
    const Geometry& layout = canvas.layout;
    if (!list_.OnPage(index) || !layout.Thumbnails() || !look_.detailInfo) return;
    const NavigatorEntry& entry = list_.Entries()[index];
    if (entry.detailQualifier.empty() || entry.detailName.empty()) return;

    RECT cell = ToRect(layout.ItemRect(slot));
    int ch = cell.bottom - cell.top;
    int frameHeight = layout.ThumbFrameRect(slot).Height();
    RECT rect = {cell.left + ch / 8 + ch, cell.top, cell.right - ch / 8, cell.bottom - (ch - frameHeight) / 2};
    UINT format = DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS;
    SelectedFont font(dc, CreateNavigatorFont(layout.FontHeight(kFontTag)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, canvas.colours[TagColour(state)]);
    if (look_.iconView) {
        DrawTextA(dc, entry.detailName.data(), static_cast<int>(entry.detailName.size()), &rect, format);
        rect.bottom -= layout.FontHeight(kFontTag);
        DrawTextA(dc, entry.detailQualifier.data(), static_cast<int>(entry.detailQualifier.size()), &rect, format);
    } else {
        std::string line = std::string(entry.detailQualifier) + " / " + std::string(entry.detailName);
        DrawTextA(dc, line.c_str(), -1, &rect, format);
    }
}

void NavigatorPainter::DrawThumbFrame(const Canvas& canvas, int index, int state) {
    HDC dc = canvas.dc;
    int slot = index - list_.Top();
    const Geometry& layout = canvas.layout;
    if (!layout.Thumbnails() || !list_.OnPage(index)) return;
    RECT frame = ToRect(layout.ThumbFrameRect(slot));
    bool isHot = (state & kStateHot) != 0;
    CxImage& image = (state & 0xFF) == kStateSelected ? skin_[isHot ? kSkinFrameSelectedHot : kSkinFrameSelected]
                                                      : skin_[isHot ? kSkinFrameHot : kSkinFrame];
    if (image.IsValid()) {
        image.Draw(dc, frame, nullptr, false);
        return;
    }
    SolidBrush brush(canvas.colours[kColourThumbFrame]);
    RECT edges[4] = {{frame.left, frame.top, frame.right, frame.top + 1},
                     {frame.left, frame.top, frame.left + 1, frame.bottom},
                     {frame.right - 1, frame.top, frame.right, frame.bottom},
                     {frame.left, frame.bottom - 1, frame.right, frame.bottom}};
    for (const RECT& edge : edges) FillRect(dc, &edge, brush);
}

void NavigatorPainter::DrawThumbnail(const Canvas& canvas, int index, int state) {
    HDC dc = canvas.dc;
    int slot = index - list_.Top();
    const Geometry& layout = canvas.layout;
    if (!layout.Thumbnails() || !list_.OnPage(index)) return;
    DrawThumbFrame(canvas, index, state);
    if (DrawThumbnailImage(canvas, index)) return;

    Rect frame = layout.ThumbFrameRect(slot);
    int pad = layout.ThumbPad();
    EntryKind kind = list_.Entries()[index].kind;
    CxImage& placeholder = skin_[kind == KindAudio   ? kSkinPlaceholderAudio
                                : kind == KindVideo ? kSkinPlaceholderVideo
                                                    : kSkinPlaceholderOther];
    if (!placeholder.IsValid()) return;
    int x = frame.left + pad + (layout.ThumbWidth() - static_cast<int>(placeholder.GetWidth())) / 2;
    int y = frame.top + pad + (layout.ThumbHeight() - static_cast<int>(placeholder.GetHeight())) / 2;
    placeholder.Draw(dc, x, y, -1, -1, nullptr, false);
}

void NavigatorPainter::DrawHeader(const Canvas& canvas) {
    HDC dc = canvas.dc;
    const Geometry& layout = canvas.layout;
    int hh = layout.HeaderHeight();
    RECT band = ToRect(layout.HeaderBand());
    Fill(dc, band, canvas.colours[kColourHeaderBackground]);
    DoubleFrame(dc, band, canvas.colours[kColourFrame]);
    DrawCloseButton(canvas, list_.Hot() == kHotCloseButton ? (kStateHot | kStateNormal) : kStateNormal);

    std::string header = list_.Title();
    if (header.empty()) header = LoadResString(list_.Mode() == Tracks ? IDS_CHOOSE_TRACK : IDS_CHOOSE_ALBUM);
    int count = list_.Count();
    char counter[64];
    int selected = list_.Selected();
    snprintf(counter, sizeof(counter), " (%d / %d)", selected + 1 < count ? selected + 1 : count, count);
    header += counter;

    RECT text = band;
    text.right -= hh;
    InflateRect(&text, -(hh / 2), 0);
    text.bottom -= hh / 8;
    SelectedFont font(dc, CreateNavigatorFont(layout.FontHeight(kFontHeader)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, canvas.colours[kColourHeaderText]);
    DrawTextA(dc, header.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

void NavigatorPainter::DrawCloseButton(const Canvas& canvas, int state) {
    HDC dc = canvas.dc;
    RECT rect = ToRect(canvas.layout.CloseButtonRect());
    bool isHot = (state & kStateHot) != 0;
    CxImage& image = isHot ? skin_[kSkinCloseHot]
                     : (state & 0xFF) == kStatePressed ? skin_[kSkinClosePressed]
                                                       : skin_[kSkinClose];
    if (image.IsValid()) {
        image.Draw(dc, rect, nullptr, true);
        return;
    }
    COLORREF outer = canvas.colours[isHot ? kColourCloseOuterHot : kColourCloseOuter];
    Fill(dc, rect, outer);
    InflateRect(&rect, -2, -2);
    Fill(dc, rect, canvas.colours[kColourCloseRing]);
    int inset = (rect.bottom - rect.top) / 4;
    InflateRect(&rect, -inset, -inset);
    Fill(dc, rect, outer);
}

void NavigatorPainter::DrawLabels(const Canvas& canvas, int index, int state) {
    DrawItemText(canvas, index, state);
    DrawItemDetail(canvas, index, state);
}

bool NavigatorPainter::DrawThumbnailImage(const Canvas& canvas, int index) {
    int image = thumbnails_.FindThumbnail(list_.Entries()[index].serial);
    if (image < 0) return false;
    Rect frame = canvas.layout.ThumbFrameRect(index - list_.Top());
    int pad = canvas.layout.ThumbPad();
    return ImageList_Draw(thumbnails_.Images(), image, canvas.dc, frame.left + pad, frame.top + pad, ILD_NORMAL) !=
           FALSE;
}

void NavigatorPainter::DrawDeleteBox(const Canvas& canvas) {
    if (!list_.DeletePending()) return;
    HDC dc = canvas.dc;
    RECT client = ToRect(canvas.layout.Client());
    int line = canvas.layout.LineHeight();
    RECT box = {40, client.bottom / 2 - 2 * line, client.right - 40, client.bottom / 2 + 2 * line};

    FillRect(dc, &box, SolidBrush(canvas.colours[kColourBox]));
    SolidBrush frame(canvas.colours[kColourFrame]);
    RECT ring = box;
    for (int i = 0; i < 4; ++i) {
        FrameRect(dc, &ring, frame);
        InflateRect(&ring, -1, -1);
    }

    SelectedFont font(dc, CreateNavigatorFont(canvas.layout.FontHeight(kFontHeader)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, canvas.colours[kColourBoxText]);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS;
    RECT row = {box.left + 3, box.top + 3 - line / 4, box.right - 3, box.top + 3 - line / 4 + 2 * line};
    DrawTextA(dc, FormatNumber(LoadResString(IDS_DELETE_QUESTION), list_.DeleteNumber()).c_str(), -1, &row, format);
    OffsetRect(&row, 0, line);
    std::string name = "-> \"" + GetFileNamePart(list_.DeletePath(), true) + "\"";
    DrawTextA(dc, name.c_str(), -1, &row, format | DT_END_ELLIPSIS);
    SetTextColor(dc, canvas.colours[kColourBoxHint]);
    OffsetRect(&row, 0, line + line / 4);
    DrawTextA(dc, LoadResString(IDS_DELETE_HINT).c_str(), -1, &row, format);
}
