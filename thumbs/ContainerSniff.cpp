#include "thumbs/ContainerSniff.h"

#include <cstring>

#include "base/Paths.h"

namespace {

bool Is(const unsigned char* bytes, const char* tag) { return memcmp(bytes, tag, 4) == 0; }

}  // namespace

Container SniffContainerBytes(const unsigned char* head, size_t count, uint64_t* riffSize) {
    *riffSize = 0;
    if (count < kSniffBytes) return Container::Unknown;
    if (Is(head, "RIFF")) {
        uint32_t size = head[4] | head[5] << 8 | head[6] << 16 | static_cast<uint32_t>(head[7]) << 24;
        *riffSize = uint64_t{size} + 8;
        return Is(head + 8, "AVI ") ? Container::Avi : Container::Unknown;
    }
    if (Is(head, "\x30\x26\xB2\x75")) return Container::Asf;
    if (Is(head, "OggS")) return Container::Ogg;
    if (Is(head, "\x1A\x45\xDF\xA3")) return Container::Matroska;
    if (Is(head, "FLV\x01")) return Container::Flv;
    if (Is(head + 4, "ftyp") || Is(head + 4, "moov") || Is(head + 4, "mdat")) return Container::Mp4;
    return Container::Unknown;
}

ReaderFilter ChooseReaderFilter(Container container, uint64_t riffSize, uint64_t fileSize, const char* path) {
    if (HasExtension(path, ".ts") || HasExtension(path, ".tp")) return ReaderFilter::Mpg;
    switch (container) {
    case Container::Avi: return fileSize < riffSize ? ReaderFilter::Avi : ReaderFilter::None;  // cut short
    case Container::Ogg: return ReaderFilter::Ogm;
    case Container::Matroska: return ReaderFilter::Mkv;
    case Container::Mp4: return ReaderFilter::Mp4;
    case Container::Flv: return ReaderFilter::Flv;
    default: return ReaderFilter::None;
    }
}

const char* ReaderFilterName(ReaderFilter filter) {
    switch (filter) {
    case ReaderFilter::Avi: return "Quillar AVI Reader";
    case ReaderFilter::Ogm: return "Quillar OGM Reader";
    case ReaderFilter::Mkv: return "Quillar MKV Reader";
    case ReaderFilter::Mp4: return "Quillar MP4 Reader";
    case ReaderFilter::Flv: return "Quillar FLV Reader";
    case ReaderFilter::Mpg: return "Quillar MPG Reader";
    default: return "";
    }
}
