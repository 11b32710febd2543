// The Navigator as painted on the whole test display, read back pixel by pixel.
#include "tests/support/NavigatorFixture.h"

#include <utility>

#include "base/ModuleState.h"
#include "navigator/ItemState.h"

using Painting = NavigatorFixture;

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
