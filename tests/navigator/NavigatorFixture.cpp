#include "tests/navigator/NavigatorFixture.h"

#include <cstdio>

void NavigatorFixture::SendTracks(int count, const char* folder) {
    std::vector<std::string> tokens;
    for (int i = 1; i <= count; ++i) {
        char name[64];
        snprintf(name, sizeof(name), "clip%03d", i);
        tokens.push_back(std::string(folder) + name + ".avi");
        tokens.push_back(std::string(" ") + name + " ");
        tokens.push_back(" Holiday ");
    }
    SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
}

std::vector<std::string> NavigatorFixture::Paths() const {
    std::vector<std::string> paths;
    for (const NavigatorEntry& entry : nav.entries) paths.emplace_back(entry.path);
    return paths;
}

void NavigatorFixture::Snapshot(const std::string& name, WindowCapture::Source source) {
    CreateDirectoryA("snapshots", nullptr);
    std::string path = "snapshots\\" + name + ".png";
    EXPECT_TRUE(WindowCapture(Window(), source).SavePng(path)) << path;
}
