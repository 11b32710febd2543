// What a media path is, by its file name's extension: the kind picks an entry's placeholder and
// the producer of its thumbnail. Pure logic: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>

enum EntryKind : int32_t { KindOther = 0, KindAudio = 1, KindVideo = 2 };

extern const char kAudioExtensions[];
extern const char kVideoExtensions[];

// Audio or video by the file name's extension; other without one.
EntryKind ClassifyPath(const char* path);
