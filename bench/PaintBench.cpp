// Painting at 1920 x 1080, per layout: one DrawAll, and the repaint of a selection move (two
// cells, drawn the way WM_PAINT draws them: everything clipped to the invalid cells), each
// against one full-window BitBlt measured in the same run. Goal: DrawAll at most 3 blits.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/QuietPlayer.h"
#include "bench/Timing.h"
#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"
#include "plugin/RembrixApp.h"

namespace {


std::string Tokens(int count, bool albums) {
    std::string bytes;
    char text[MAX_PATH];
    for (int i = 1; i <= count; ++i) {
        if (albums) snprintf(text, sizeof(text), "D:\\Music\\Album %02d", i);
        else snprintf(text, sizeof(text), "D:\\Media\\Holiday\\Clip %03d from the long summer trip.avi", i);
        bytes += std::string(text) + '\0';
        snprintf(text, sizeof(text), "%s %d", albums ? "Album" : "Clip", i);
        bytes += std::string(text) + '\0';
        bytes += std::string("The Night Quartet") + '\0';
    }
    return bytes + '\0';
}

struct Layout {
    const char* name;
    ListMode mode;
    DWORD showThumbnail, iconView, showDetailInfo, column;
};

}  // namespace

int main() {
    theApp.InitInstance(GetModuleHandleA(nullptr));
    QuietPlayer player(3);

    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen), source = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, 1920, 1080);
    HBITMAP sourceBitmap = CreateCompatibleBitmap(screen, 1920, 1080);
    ReleaseDC(nullptr, screen);
    SelectObject(target, targetBitmap);
    SelectObject(source, sourceBitmap);
    double blit = Time(1.0, [&] { BitBlt(target, 0, 0, 1920, 1080, source, 0, 0, SRCCOPY); });
    printf("one full-window BitBlt: %.3f ms\n", 1000 * blit);

    const Layout layouts[] = {
        {"album list", Albums, 1, 1, 0, 4},
        {"track list without thumbnails", Tracks, 0, 1, 0, 4},
        {"one-column thumbnail list", Tracks, 1, 0, 1, 4},
        {"4-column grid with tags", Tracks, 1, 1, 1, 4},
    };
    for (const Layout& l : layouts) {
        PluginSettings settings;
        settings.Load("Software\\RembrixBench\\Rembrix");
        settings.showThumbnail = l.showThumbnail;
        settings.iconView = l.iconView;
        settings.showDetailInfo = l.showDetailInfo;
        settings.column = l.column;
        NavigatorWnd nav;
        nav.CreateNavigator(&settings);
        nav.ShowList(Tracks);  // the skin at the track layout's sizes
        if (l.mode == Albums) nav.ShowList(Albums);
        std::string bytes = Tokens(60, l.mode == Albums);
        if (l.mode == Albums) nav.OnAlbumList(TokenList(bytes.data(), bytes.size()));
        else nav.OnTrackList(TokenList(bytes.data(), bytes.size()));

        double full = Time(1.0, [&] { nav.DrawAll(target); });
        Geometry geometry = nav.Layout();
        const int slot = nav.List().Selected() - nav.List().Top();
        Rect a = geometry.ItemRect(slot), b = geometry.ItemRect(slot + 1);
        HRGN cells = CreateRectRgn(a.left, a.top, a.right, a.bottom);
        HRGN second = CreateRectRgn(b.left, b.top, b.right, b.bottom);
        CombineRgn(cells, cells, second, RGN_OR);
        double move = Time(1.0, [&] {
            SelectClipRgn(target, cells);
            nav.DrawAll(target);
            SelectClipRgn(target, nullptr);
        });
        DeleteObject(cells);
        DeleteObject(second);
        printf("%-32s DrawAll %7.3f ms = %5.2f blits (goal <= 3); selection move %7.3f ms = %5.2f blits\n", l.name,
               1000 * full, full / blit, 1000 * move, move / blit);
        nav.DestroyWindow();
    }
    DeleteDC(target);
    DeleteDC(source);
    DeleteObject(targetBitmap);
    DeleteObject(sourceBitmap);
    return 0;
}
