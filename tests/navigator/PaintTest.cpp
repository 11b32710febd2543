// The Navigator as painted on the whole test display, read back pixel by pixel.
#include "tests/support/NavigatorFixture.h"

#include <algorithm>

#include "base/ModuleState.h"
#include "navigator/ItemState.h"

using Painting = NavigatorFixture;

// Texts in the colours of their roles: entries normal, selected and hot, their tag lines, and the
// header; longer texts (a header title, an album's qualifier) paint wider.
TEST_F(Painting, TextsInTheColoursOfTheirRoles) {
    // Colours no skin picture holds: 2 entry, 4 selected, 7 hot, 8 tag, 9 selected tag, 11 hot tag,
    // 13 header.
    for (int role : {2, 4, 7, 8, 9, 11, 13})
        registry.SetDword(HKEY_CURRENT_USER, "Color_" + std::to_string(role), RGB(3 + role, 250 - role, 7));
    registry.SetDword(HKEY_CURRENT_USER, "ShowDetailInfo", 1);
    Start();
    SendTracks(8);
    Geometry layout = nav.Layout();
    Rect hot = layout.ItemRect(2);
    SendMessageA(Window(), WM_MOUSEMOVE, 0, MAKELPARAM((hot.left + hot.right) / 2, (hot.top + hot.bottom) / 2));
    WindowCapture tracks(Window());
    // How wide the pixels of a role's colour spread in `r`; 0 when there are none.
    auto spread = [&](const WindowCapture& c, const Rect& r, int role) {
        int left = r.right, right = r.left - 1;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (c.At(x, y) == settings.colours[role]) left = std::min(left, x), right = std::max(right, x);
        return std::max(0, right - left + 1);
    };
    const int cells[][4] = {{0, 4, 9, 2}, {1, 2, 8, 4}, {2, 7, 11, 2}};  // entry: text, tag line, absent colour
    for (const auto& [index, text, tag, absent] : cells) {
        Rect r = layout.ItemRect(index);
        EXPECT_GT(spread(tracks, r, text), 10) << "entry " << index;
        EXPECT_GT(spread(tracks, r, tag), 5) << "tag line " << index;
        EXPECT_EQ(0, spread(tracks, r, absent)) << "entry " << index;
    }

    // The header: wider with a title than with the plain text.
    Rect band = {0, 0, tracks.Width(), layout.HeaderHeight()};
    int plain = spread(tracks, band, 13);
    EXPECT_GT(plain, 100);
    SendCopyData(Window(), kCopyListHeader, Tokens({"k", "Evenings by the Harbour", "The Night Quartet"}));
    EXPECT_GT(spread(WindowCapture(Window()), band, 13), plain + 100);

    // Albums: "[001] qualifier / name", or the name alone.
    ShowAlbums({"k1", "Blue", "Miles Davis Quintet", "k2", "Blue", " "}, "k2");
    SendMessageA(Window(), WM_MOUSELEAVE, 0, 0);
    layout = nav.Layout();
    WindowCapture albums(Window());
    EXPECT_GT(spread(albums, layout.ItemRect(0), 2), spread(albums, layout.ItemRect(1), 4) + 100);
}

// Two one-pixel frames round the window and round the header band; skin pictures at the size of
// their places. Without them every element falls back to colours: the background to 0, the current
// cell to 3, the pressed one to 5, the thumbnail frames to lines of 18, the close button to rings
// of 23 and 25 (24 under the mouse).
TEST_F(Painting, FramesSkinAndTheColoursWithoutIt) {
    registry.SetDword(HKEY_CURRENT_USER, "Color_5", 0x000000FF);
    // The skin comes from the module itself, whatever module (a language pack) the texts come from.
    ThisModuleState().resources = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    Start();
    SendTracks(5);
    FreeLibrary(std::exchange(ThisModuleState().resources, ThisModuleState().instance));
    Geometry layout = nav.Layout();
    WindowCapture skinned(Window());
    ASSERT_EQ(1920, skinned.Width());
    ASSERT_EQ(1080, skinned.Height());
    int hh = layout.HeaderHeight();
    for (int y : {0, 1, hh - 2, hh - 1}) EXPECT_EQ(settings.colours[17], skinned.At(skinned.Width() / 3, y)) << y;
    EXPECT_EQ(settings.colours[12], skinned.At(4, hh / 2));
    EXPECT_EQ(settings.colours[17], skinned.At(0, skinned.Height() - 1));
    EXPECT_EQ(settings.colours[17], skinned.At(skinned.Width() - 2, skinned.Height() / 2));
    EXPECT_EQ(64, static_cast<int>(nav.Painter().Skin(kSkinPlaceholderVideo).GetWidth()));
    EXPECT_EQ(layout.ThumbFrameRect(0).Width(), static_cast<int>(nav.Painter().Skin(kSkinFrame).GetWidth()));

    // A painter without skin pictures, on the window's look and a list of its own: entry 1 pressed.
    ListState list([](std::string_view a, std::string_view b) { return a == b; });
    list.Reset(nav.List().Layout());
    std::string tracks = Tokens({"a.avi", "a", "q", "b.avi", "b", "q", "c.avi", "c", "q"});
    list.LoadTracks(TokenList(tracks.data(), tracks.size()));
    list.SetPressed(1);
    NavigatorPainter bare(list, nav.Thumbnails());
    bare.FixLook(settings);
    auto paint = [&](HDC dc) { bare.DrawAll({dc, layout, settings.colours}); };
    WindowCapture capture(1920, 1080, paint);
    EXPECT_EQ(settings.colours[0], capture.At(1920 / 2, 1080 - 10));  // below the entries
    Rect current = layout.ItemRect(0), chosen = layout.ItemRect(1);
    int y = (current.top + current.bottom) / 2;
    EXPECT_EQ(settings.colours[3], capture.At(current.right - 3, y));
    EXPECT_EQ(RGB(255, 0, 0), capture.At(chosen.right - 3, y));
    EXPECT_NE(settings.colours[3], capture.At(current.right + 3, y));  // outside the cell
    Rect frame = layout.ThumbFrameRect(2);
    EXPECT_EQ(settings.colours[18], capture.At(frame.left, frame.top + 5));
    EXPECT_EQ(settings.colours[18], capture.At(frame.left + 5, frame.bottom - 1));
    EXPECT_NE(settings.colours[18], capture.At(frame.left + 1, frame.top + 5));

    Rect close = layout.CloseButtonRect();
    int inner = (close.Height() - 4) / 4, middle = close.top + close.Height() / 2;
    EXPECT_EQ(settings.colours[23], capture.At(close.left, close.top));
    EXPECT_EQ(settings.colours[25], capture.At(close.left + 2, close.top + 2));
    EXPECT_EQ(settings.colours[25], capture.At(close.left + 2 + inner - 1, middle));
    EXPECT_EQ(settings.colours[23], capture.At(close.left + close.Width() / 2, middle));
    list.SetHot(kHotCloseButton);
    WindowCapture hot(1920, 1080, paint);
    EXPECT_EQ(settings.colours[24], hot.At(close.left, close.top));
    EXPECT_EQ(settings.colours[24], hot.At(close.left + close.Width() / 2, middle));
}

// Settings changed while a list shows, as OK in the options sheet changes them, paint nothing new
// until the next list load, and then all of them at once.
TEST_F(Painting, DisplaySettingsWaitForTheNextList) {
    registry.SetDword(HKEY_CURRENT_USER, "ShowDetailInfo", 1);
    Start();
    SendTracks(8);
    WindowCapture before(Window());
    auto differing = [&](const WindowCapture& after) {
        int n = 0;
        for (int y = 0; y < before.Height(); ++y)
            for (int x = 0; x < before.Width(); ++x) n += before.At(x, y) != after.At(x, y);
        return n;
    };
    settings.showThumbnail = settings.iconView = settings.showDetailInfo = 0;
    settings.textFont = "Liberation Mono";
    settings.textSize = 4;
    settings.column = 1;
    nav.ApplySettings();
    EXPECT_EQ(0, differing(WindowCapture(Window())));
    SendTracks(8);
    EXPECT_GT(differing(WindowCapture(Window())), 1920 * 1080 / 20);
    EXPECT_FALSE(nav.Layout().Thumbnails());  // the look loaded with the list is the new one
}
