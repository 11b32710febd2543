#include "base/MediaKind.h"

#include "base/Paths.h"

const char kAudioExtensions[] =
    ".wav;.mp2;.mp3;.wma;.ogg;.flac;.mpc;.ape;.mid;.midi;.rmi;.m4a;.ra;.ram;.aac;.kar;.tta;.spx;.wv;";
const char kVideoExtensions[] =
    ".avi;.asf;.wmv;.mpeg;.mpg;.mpe;.m1v;.m2v;.dat;.vob;.mp4;.ogm;.mkv;.qt;.mov;.rm;.rmvb;.3gp;.3g2;.k3g;.m4v;.ts;"
    ".tp;.trp;.flv;";

EntryKind ClassifyPath(const std::string& path) {
    if (HasListedExtension(path.c_str(), kAudioExtensions)) return KindAudio;
    if (HasListedExtension(path.c_str(), kVideoExtensions)) return KindVideo;
    return KindOther;
}
