#include "base/MediaKind.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "base/Paths.h"

const char kAudioExtensions[] =
    ".wav;.mp2;.mp3;.wma;.ogg;.flac;.mpc;.ape;.mid;.midi;.rmi;.m4a;.ra;.ram;.aac;.kar;.tta;.spx;.wv;";
const char kVideoExtensions[] =
    ".avi;.asf;.wmv;.mpeg;.mpg;.mpe;.m1v;.m2v;.dat;.vob;.mp4;.ogm;.mkv;.qt;.mov;.rm;.rmvb;.3gp;.3g2;.k3g;.m4v;.ts;"
    ".tp;.trp;.flv;";

namespace {

// Every listed extension with its kind, looked up once per entry of a list of thousands.
std::unordered_map<std::string_view, EntryKind> MakeKinds() {
    std::unordered_map<std::string_view, EntryKind> kinds;
    for (auto [list, kind] : {std::make_pair(kAudioExtensions, KindAudio), std::make_pair(kVideoExtensions, KindVideo)}) {
        std::string_view rest(list);
        for (size_t end; (end = rest.find(';')) != std::string_view::npos; rest.remove_prefix(end + 1))
            kinds.emplace(rest.substr(0, end), kind);
    }
    return kinds;
}

}  // namespace

EntryKind ClassifyPath(const char* path) {
    static const std::unordered_map<std::string_view, EntryKind> kinds = MakeKinds();
    int at = FindExtension(path);
    if (at < 0 || strlen(path + at) > 8) return KindOther;
    std::string extension(path + at);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto found = kinds.find(extension);
    return found == kinds.end() ? KindOther : found->second;
}
