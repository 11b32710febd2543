// The cost of loading a track list: token parsing, entries and classification, per entry, for
// 1,000 and 10,000 tracks in one run. The ratio of the two per-entry costs shows the growth.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/QuietPlayer.h"
#include "bench/Timing.h"
#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"
#include "plugin/RembrixApp.h"

namespace {

// A player that leaves the window down (request 19 answered 1), so no painting is timed.

std::string TrackTokens(int count) {
    static const char* kExtensions[] = {".mp3", ".avi", ".flac", ".mkv", ".txt", ".m4v", ".wma", ".rm"};
    std::string bytes;
    char text[MAX_PATH];
    for (int i = 0; i < count; ++i) {
        snprintf(text, sizeof(text), "D:\\Media\\Album %03d\\Track %05d - A Reasonably Long Title%s", i / 20, i,
                 kExtensions[i % 8]);
        bytes += text;
        bytes += '\0';
        snprintf(text, sizeof(text), " Track %05d - A Reasonably Long Title ", i);
        bytes += text;
        bytes += '\0';
        bytes += " The Night Quartet ";
        bytes += '\0';
    }
    return bytes + '\0';
}

// Seconds per list of parsing and loading a list of `count` tracks, over at least `budget` s.
double PerList(NavigatorWnd& nav, int count, double budget) {
    std::string bytes = TrackTokens(count);
    nav.OnTrackList(TokenList(bytes.data(), bytes.size()));  // warm
    int runs = 0;
    double start = Seconds(), elapsed;
    do {
        nav.OnTrackList(TokenList(bytes.data(), bytes.size()));
        ++runs;
        elapsed = Seconds() - start;
    } while (elapsed < budget);
    printf("OnTrackList of %5d tracks: %8.3f ms per list (%d runs)\n", count, 1000 * elapsed / runs, runs);
    return elapsed / runs;
}

}  // namespace

int main() {
    theApp.InitInstance(GetModuleHandleA(nullptr));
    QuietPlayer player(0);

    PluginSettings settings;
    settings.Load("Software\\RembrixBench\\Rembrix");
    NavigatorWnd nav;
    if (!nav.CreateNavigator(&settings)) return 1;
    nav.ResetList();

    // Every load has a fixed part (requests to the player, the skin pictures when the sizes
    // changed); what grows with the list is the rest. Thumbnails are on, as by default.
    double fixed = PerList(nav, 0, 1.0);
    double small = (PerList(nav, 1000, 1.0) - fixed) / 1000;
    double large = (PerList(nav, 10000, 2.0) - fixed) / 10000;
    printf("fixed part of a load: %.3f ms (goal: at most 2 ms)\n", 1000 * fixed);
    printf("per entry, beyond the fixed part: %.3f us at 1,000, %.3f us at 10,000 (goal: at most 1 us at 10,000)\n",
           1e6 * small, 1e6 * large);
    printf("per-entry cost ratio 10,000 / 1,000: %.2f (1.00 is linear)\n", large / small);

    nav.DestroyWindow();
    return 0;
}
