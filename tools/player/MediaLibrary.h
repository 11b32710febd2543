// The simulator's media library: every subfolder of the library folder is an album, every .m3u
// file in it a playlist. Tracks are listed anew on each request, in the current sort order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Album {
    std::string key;   // the folder or playlist path
    std::string name;  // what the Navigator shows
    std::string qualifier;
    bool playlist = false;
};

struct Track {
    std::string path;
    std::string name;
    std::string qualifier;
};

enum class SortOrder { Name, Size, Date };

class MediaLibrary {
public:
    explicit MediaLibrary(const std::string& folder);

    const std::vector<Album>& Albums() const { return albums_; }
    std::vector<Track> Tracks(size_t album) const;
    SortOrder Order() const { return order_; }
    void NextOrder();
    static const char* OrderName(SortOrder order);

private:
    std::vector<Album> albums_;
    SortOrder order_ = SortOrder::Name;
};
