// Which container a media file is, by its first bytes, and which of the player's reader filters
// opens it. Pure byte logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

enum class Container { Unknown, Avi, Asf, Ogg, Matroska, Mp4, Flv };
enum class ReaderFilter { None, Avi, Ogm, Mkv, Mp4, Flv, Mpg };

// The bytes read from the start of a file before the container is judged.
constexpr size_t kSniffBytes = 1024;

// The container of a file that starts with `head` (`count` bytes were read). Fewer than kSniffBytes
// bytes: unknown. For RIFF, `riffSize` receives the chunk's size field + 8 before "AVI " is checked;
// it is 0 otherwise.
Container SniffContainerBytes(const unsigned char* head, size_t count, uint64_t* riffSize);

// The reader filter for a file of that container: an AVI only when it is shorter than its RIFF
// chunk says; ".ts" and ".tp" files (any case) get the MPG reader whatever their content.
ReaderFilter ChooseReaderFilter(Container container, uint64_t riffSize, uint64_t fileSize, const char* path);

// The name by which the player's configuration knows a reader filter; empty for None.
const char* ReaderFilterName(ReaderFilter filter);
