// Snapshots of every layout, to be looked at as a person across the room would.
#include "tests/navigator/NavigatorFixture.h"

namespace {

struct Scene {
    const char* name;
    DWORD showThumbnail, iconView, showDetailInfo, textSize;
    bool albums;
};

std::string SampleTracks() {
    const char* titles[] = {"Blue Corner", "Late Tram", "Quiet Harbour", "Rooftop Rain", "Last Call",
                            "Morning Ferry", "Old Lighthouse", "Paper Lanterns", "Slow Boat Home", "Winter Market",
                            "Night Bus", "Harbour Lights", "Station Clock", "The Long Road"};
    std::vector<std::string> tokens;
    for (size_t i = 0; i < sizeof(titles) / sizeof(*titles); ++i) {
        bool video = i % 3 == 1;
        char path[MAX_PATH];
        snprintf(path, sizeof(path), "D:\\Media\\Evenings\\%02zu %s.%s", i + 1, titles[i], video ? "mkv" : "mp3");
        tokens.push_back(path);
        tokens.push_back(titles[i]);
        tokens.push_back(video ? "Holiday Films" : "The Night Quartet");
    }
    return Tokens(tokens);
}

}  // namespace

class Snapshots : public NavigatorFixture, public ::testing::WithParamInterface<Scene> {};

TEST_P(Snapshots, EveryLayoutRenders) {
    const Scene& scene = GetParam();
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", scene.showThumbnail);
    registry.SetDword(HKEY_CURRENT_USER, "IconView", scene.iconView);
    registry.SetDword(HKEY_CURRENT_USER, "ShowDetailInfo", scene.showDetailInfo);
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", scene.textSize);
    registry.SetDword(HKEY_CURRENT_USER, "Column", 4);
    Start();
    player.Answer(kRequestCurrentTrack, 3);
    if (scene.albums) {
        nav.ShowList(Albums);
        SendCopyData(Window(), kCopyAlbumList,
                     Tokens({"k1", "Holiday Films", "Album", "k2", "Jazz Evenings", "Album", "k3", "Field Recordings",
                             "Album", "k4", "Evening Mix", "Playlist"}));
        SendCopyData(Window(), kCopySelectAlbum, std::string("k2", 2));
    } else {
        SendCopyData(Window(), kCopyTrackList, SampleTracks());
        SendCopyData(Window(), kCopyListHeader, Tokens({"k2", "Evenings", "Album"}));
    }
    ASSERT_TRUE(IsWindowVisible(Window()));
    Snapshot(scene.name);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Snapshots,
                         ::testing::Values(Scene{"album-list", 1, 1, 0, 2, true},
                                           Scene{"tracks-without-thumbnails", 0, 1, 0, 2, false},
                                           Scene{"tracks-one-column-thumbnails", 1, 0, 1, 3, false},
                                           Scene{"tracks-grid-with-tags", 1, 1, 1, 2, false}),
                         [](const ::testing::TestParamInfo<Scene>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });
