// The Navigator as painted, read back pixel by pixel at two screen sizes.
#include "tests/navigator/NavigatorFixture.h"

#include <algorithm>
#include <string>

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

// Texts in the colours of their roles: entries normal, selected and hot, their tag lines, and the
// header; longer texts (a header title, an album's qualifier) paint wider.
TEST_P(Painting, TextsInTheColoursOfTheirRoles) {
    // Colours no skin picture holds: 2 entry, 4 selected, 7 hot, 8 tag, 9 selected tag, 11 hot tag,
    // 13 header.
    const int roles[] = {2, 4, 7, 8, 9, 11, 13};
    for (int role : roles)
        registry.SetDword(HKEY_CURRENT_USER, ("Color_" + std::to_string(role)).c_str(), RGB(3 + role, 250 - role, 7));
    registry.SetDword(HKEY_CURRENT_USER, "ShowDetailInfo", 1);
    StartAt(GetParam());
    SendTracks(8);
    nav.hot = 2;
    Geometry layout = Layout();
    WindowCapture tracks(Window());
    auto count = [&](const WindowCapture& c, const Rect& r, int role) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += c.At(x, y) == settings.colours[role];
        return n;
    };
    const struct {
        int index, text, tag, absent;
    } cells[] = {{0, 4, 9, 2}, {1, 2, 8, 4}, {2, 7, 11, 2}};
    for (const auto& cell : cells) {
        Rect r = layout.ItemRect(cell.index);
        EXPECT_GT(count(tracks, r, cell.text), 10) << "entry " << cell.index;
        EXPECT_GT(count(tracks, r, cell.tag), 5) << "tag line " << cell.index;
        EXPECT_EQ(0, count(tracks, r, cell.absent)) << "entry " << cell.index;
    }

    // The header: wider with a title than with the plain text.
    Rect band = {0, 0, tracks.Width(), layout.HeaderHeight()};
    auto extent = [&](const WindowCapture& c, const Rect& r, int role) {
        int left = r.right, right = r.left;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (c.At(x, y) == settings.colours[role]) left = std::min(left, x), right = std::max(right, x);
        return right - left;
    };
    int plain = extent(tracks, band, 13);
    EXPECT_GT(plain, 100);
    SendCopyData(Window(), kCopyListHeader, Tokens({"k", "Evenings by the Harbour", "The Night Quartet"}));
    EXPECT_GT(extent(WindowCapture(Window()), band, 13), plain + 100);

    // Albums: "[001] qualifier / name", or the name alone.
    nav.ShowList(Albums);
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", "Blue", "Miles Davis Quintet", "k2", "Blue", " "}));
    SendCopyData(Window(), kCopySelectAlbum, std::string("k2", 2));
    nav.hot = -1;
    layout = Layout();
    WindowCapture albums(Window());
    EXPECT_GT(extent(albums, layout.ItemRect(0), 2), extent(albums, layout.ItemRect(1), 4) + 100);
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
