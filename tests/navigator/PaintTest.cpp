// The Navigator as painted, read back pixel by pixel at two screen sizes.
#include "tests/navigator/NavigatorFixture.h"

#include "base/Gdi.h"

namespace {

struct ScreenSize {
    int width, height;
};

class Painting : public NavigatorFixture, public ::testing::WithParamInterface<ScreenSize> {
protected:
    // The window at the asked size, by margins on the 1920 x 1080 test display.
    void StartAt(const ScreenSize& size) {
        registry.SetDword(HKEY_CURRENT_USER, "MarginX", (1920 - size.width) / 2);
        registry.SetDword(HKEY_CURRENT_USER, "MarginY", (1080 - size.height) / 2);
        Start();
    }
    Geometry Layout() const { return nav.Layout(); }
};

}  // namespace

TEST_P(Painting, HeaderBandAndFrames) {
    StartAt(GetParam());
    WindowCapture capture(Window());
    ASSERT_EQ(GetParam().width, capture.Width());
    ASSERT_EQ(GetParam().height, capture.Height());
    int hh = Layout().HeaderHeight();
    for (int y : {0, 1}) EXPECT_EQ(settings.colours[17], capture.At(capture.Width() / 3, y));  // two frames
    EXPECT_EQ(settings.colours[17], capture.At(capture.Width() / 3, hh - 1));
    EXPECT_EQ(settings.colours[17], capture.At(capture.Width() / 3, hh - 2));
    EXPECT_EQ(settings.colours[12], capture.At(4, hh / 2));
    EXPECT_EQ(settings.colours[17], capture.At(0, capture.Height() - 1));
    EXPECT_EQ(settings.colours[17], capture.At(capture.Width() - 2, capture.Height() / 2));
}

TEST_P(Painting, EmptyListCountsZeroOfZero) {
    StartAt(GetParam());
    WindowCapture painted(Window());

    // The same header text drawn by hand where the window draws it.
    Geometry layout = Layout();
    int hh = layout.HeaderHeight();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, GetParam().width, hh);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT band = {0, 0, GetParam().width, hh};
    FillRect(dc, &band, SolidBrush(settings.colours[12]));
    RECT text = {hh / 2, 0, GetParam().width - hh - hh / 2, hh - hh / 8};
    int differing = 0, textPixels = 0;
    {
        SelectedFont font(dc, nav.CreateNavigatorFont(layout.FontHeight(kFontHeader)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, settings.colours[13]);
        DrawTextA(dc, "Choose Track to Play (0 / 0)", -1, &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        for (int y = 3; y < hh - 3; ++y)
            for (int x = hh; x < GetParam().width - 2 * hh; ++x) {
                COLORREF expected = GetPixel(dc, x, y);
                if (expected != settings.colours[12]) ++textPixels;
                if (expected != painted.At(x, y)) ++differing;
            }
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_GT(textPixels, 100);
    EXPECT_EQ(0, differing);
}

TEST_P(Painting, CurrentAndPressedFallBackToTheirColours) {
    registry.SetDword(HKEY_CURRENT_USER, "Color_5", 0x000000FF);
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    StartAt(GetParam());
    SendTracks(5);
    nav.skin[kSkinCellSelected].Destroy();
    nav.skin[kSkinCellPressed].Destroy();
    nav.pressed = 1;
    WindowCapture capture(Window());
    Rect current = Layout().ItemRect(0), chosen = Layout().ItemRect(1);
    int y = (current.top + current.bottom) / 2;
    EXPECT_EQ(settings.colours[3], capture.At(current.right - 3, y));
    EXPECT_EQ(RGB(255, 0, 0), capture.At(chosen.right - 3, (chosen.top + chosen.bottom) / 2));
    EXPECT_NE(settings.colours[3], capture.At(current.right + 3, y));  // outside the cell: background
}

TEST_P(Painting, CloseButtonFallbackRings) {
    StartAt(GetParam());
    for (int slot : {kSkinClose, kSkinCloseHot, kSkinClosePressed}) nav.skin[slot].Destroy();
    Rect close = Layout().CloseButtonRect();
    int inner = (close.Height() - 4) / 4;
    WindowCapture plain(Window());
    EXPECT_EQ(settings.colours[23], plain.At(close.left, close.top));
    EXPECT_EQ(settings.colours[25], plain.At(close.left + 2, close.top + 2));
    EXPECT_EQ(settings.colours[25], plain.At(close.left + 2 + inner - 1, close.top + close.Height() / 2));
    EXPECT_EQ(settings.colours[23], plain.At(close.left + close.Width() / 2, close.top + close.Height() / 2));

    nav.hot = -13;
    WindowCapture hot(Window());
    EXPECT_EQ(settings.colours[24], hot.At(close.left, close.top));
    EXPECT_EQ(settings.colours[24], hot.At(close.left + close.Width() / 2, close.top + close.Height() / 2));
}

TEST_P(Painting, ThumbnailFramesAndPlaceholders) {
    StartAt(GetParam());
    SendTracks(5);
    Geometry layout = Layout();
    int index = PlaceholderIndex(layout.ThumbWidth(), layout.ThumbHeight());
    static const int kSides[] = {128, 96, 64, 48, 32, 24, 16};
    ASSERT_GE(index, 0);
    EXPECT_EQ(static_cast<uint32_t>(kSides[index]), nav.skin[kSkinPlaceholderVideo].GetWidth());
    EXPECT_EQ(static_cast<uint32_t>(layout.ThumbFrameRect(0).Width()), nav.skin[kSkinFrame].GetWidth());

    // Without frame pictures, four one-pixel lines in colour 18.
    for (int slot = kSkinFrame; slot <= kSkinFrameSelectedHot; ++slot) nav.skin[slot].Destroy();
    WindowCapture capture(Window());
    Rect frame = layout.ThumbFrameRect(2);
    EXPECT_EQ(settings.colours[18], capture.At(frame.left, frame.top + 5));
    EXPECT_EQ(settings.colours[18], capture.At(frame.right - 1, frame.top + 5));
    EXPECT_EQ(settings.colours[18], capture.At(frame.left + 5, frame.bottom - 1));
    EXPECT_NE(settings.colours[18], capture.At(frame.left + 1, frame.top + 5));
}

INSTANTIATE_TEST_SUITE_P(Screens, Painting, ::testing::Values(ScreenSize{1920, 1080}, ScreenSize{1280, 720}),
                         [](const ::testing::TestParamInfo<ScreenSize>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

namespace {

class LoadedLook : public NavigatorFixture {};

int DifferingPixels(const WindowCapture& a, const WindowCapture& b) {
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) differing += a.At(x, y) != b.At(x, y);
    return differing;
}

}  // namespace

// Settings changed while a list shows, as OK in the options sheet changes them, paint nothing new
// until the next list load, and then all of them at once.
TEST_F(LoadedLook, DisplaySettingsWaitForTheNextList) {
    settings.showThumbnail = settings.iconView = settings.showDetailInfo = 1;
    Start();
    SendTracks(8);
    WindowCapture before(Window());
    settings.showThumbnail = settings.iconView = settings.showDetailInfo = 0;
    settings.textFont = "Liberation Mono";
    settings.textSize = 4;
    settings.column = 1;
    nav.ApplySettings();
    EXPECT_EQ(0, DifferingPixels(before, WindowCapture(Window())));

    SendTracks(8);
    WindowCapture after(Window());
    EXPECT_GT(DifferingPixels(before, after), after.Width() * after.Height() / 20);
    // The look loaded with the list is the new one.
    EXPECT_FALSE(nav.Layout().Thumbnails());
}
