#include "tests/support/NavigatorFixture.h"

#include <cstdio>

Messages NavigatorFixture::Asks(std::initializer_list<UINT> codes) const {
    Messages asked;
    for (UINT code : codes) asked.push_back(Asked(code));
    return asked;
}

void NavigatorFixture::SendTracks(int count, const char* folder) {
    std::vector<std::string> tokens;
    for (int i = 1; i <= count; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "clip%03d", i);
        tokens.insert(tokens.end(), {std::string(folder) + name + ".avi", std::string(" ") + name + " ", " Holiday "});
    }
    SendCopyData(Window(), kCopyTrackList, Tokens(tokens));
}

void NavigatorFixture::ShowAlbums(const std::vector<std::string>& tokens, const std::string& select) {
    nav.ShowList(Albums);
    SendCopyData(Window(), kCopyAlbumList, Tokens(tokens));
    SendCopyData(Window(), kCopySelectAlbum, select + '\0');
}

