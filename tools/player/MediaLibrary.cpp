#include "tools/player/MediaLibrary.h"

#include <algorithm>
#include <fstream>

#include "base/Paths.h"

namespace {

// Pictures and subtitles beside media files are side files, not tracks.
constexpr char kSideFiles[] = ".jpg;.jpeg;.png;.bmp;.gif;.thm;.smi;.smil;.srt;.sub;";

struct Found {
    std::string path;
    std::string name;
    ULONGLONG size;
    ULONGLONG written;
    bool folder;
};

std::vector<Found> List(const std::string& folder) {
    std::vector<Found> found;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(AppendPath(folder, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return found;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == ".." || (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            continue;
        found.push_back({AppendPath(folder, name), name,
                         (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                         (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime,
                         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.name < b.name; });
    return found;
}

Track TrackOf(const std::string& path, const std::string& album) {
    return {path, GetFileNamePart(path, false), album};
}

}  // namespace

MediaLibrary::MediaLibrary(const std::string& folder) {
    std::vector<Found> entries = List(folder);
    for (const Found& f : entries)
        if (f.folder) albums_.push_back({f.path, f.name, "Album", false});
    for (const Found& f : entries)
        if (!f.folder && HasListedExtension(f.path.c_str(), ".m3u;"))
            albums_.push_back({f.path, GetFileNamePart(f.name, false), "Playlist", true});
}

std::vector<Track> MediaLibrary::Tracks(size_t index) const {
    std::vector<Track> tracks;
    if (index >= albums_.size()) return tracks;
    const Album& album = albums_[index];

    if (album.playlist) {
        std::ifstream file(album.key);
        std::string line, base = GetFolderPart(album.key);
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            bool absolute = line.size() > 1 && (line[1] == ':' || line[0] == '\\');
            tracks.push_back(TrackOf(absolute ? line : AppendPath(base, line), album.name));
        }
        return tracks;  // a playlist keeps its own order
    }

    std::vector<Found> files;
    for (const Found& f : List(album.key))
        if (!f.folder && !HasListedExtension(f.path.c_str(), kSideFiles)) files.push_back(f);
    std::stable_sort(files.begin(), files.end(), [&](const Found& a, const Found& b) {
        if (order_ == SortOrder::Size) return a.size < b.size;
        if (order_ == SortOrder::Date) return a.written < b.written;
        return a.name < b.name;
    });
    for (const Found& f : files) tracks.push_back(TrackOf(f.path, album.name));
    return tracks;
}

void MediaLibrary::NextOrder() {
    order_ = order_ == SortOrder::Name ? SortOrder::Size : order_ == SortOrder::Size ? SortOrder::Date : SortOrder::Name;
}

const char* MediaLibrary::OrderName(SortOrder order) {
    return order == SortOrder::Name ? "name" : order == SortOrder::Size ? "size" : "date";
}
