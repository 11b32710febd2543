// The embedded cover picture of an audio file: ID3v2 APIC (and v2.2 PIC) frames, FLAC PICTURE
// blocks, MP4 "covr" atoms. Pure byte logic: no <windows.h>, so it is tested and fuzzed natively.
// Every reader stays inside the bytes it is given; damage gives no picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The encoded picture (JPEG, PNG, ...) as stored in the file: the front cover when there is one,
// else the first picture; empty when there is none.
std::vector<uint8_t> FindCoverPicture(const uint8_t* data, size_t size);

// The same for data known to start with an ID3v2 tag, a FLAC stream ("fLaC"), or MP4 atoms.
std::vector<uint8_t> FindId3Picture(const uint8_t* data, size_t size);
std::vector<uint8_t> FindFlacPicture(const uint8_t* data, size_t size);
std::vector<uint8_t> FindMp4Picture(const uint8_t* data, size_t size);

// The length of the ID3v2 tag at the start of the data, header and footer included, as its header
// states it; 0 when the data do not start with one.
size_t Id3TagLength(const uint8_t* data, size_t size);

// Reads `size` bytes at `offset` of a file into `buffer`; false when they cannot all be read.
using ReadAt = std::function<bool(uint64_t offset, uint8_t* buffer, size_t size)>;

// No tag region this large is read: a cover is a picture of at most kMaxPictureBytes.
constexpr size_t kMaxTagRegion = 32u * 1024 * 1024;

// FindCoverPicture for a file of `fileSize` bytes read through `read`: only the bytes that can hold
// the cover are read (an ID3v2 tag and FLAC metadata at the start, or an MP4 file's moov atom,
// wherever it lies), and nothing when they are more than kMaxTagRegion.
std::vector<uint8_t> ReadCoverPicture(const ReadAt& read, uint64_t fileSize);
