// The thumbnail cache against its floors, measured in one run:
//   Lookup against decoding the same PNG bytes from memory (goal: at least 0.8 of the rate),
//   Flush of a 2,000-record cache against CopyFileA of the same bytes (goal: at most 1.5 times),
//   Open of folders of 1,000 and 10,000 files against ListFolder alone (goal: at most 1.5 times).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "base/Files.h"
#include "bench/Timing.h"
#include "thumbs/ThumbCache.h"
#include "ximage/CxImage.h"

namespace {

// A thumbnail with photo-like detail, so that its PNG is of a realistic size.
void Thumbnail(CxImage& image, int seed) {
    image.Create(160, 120, 24);
    unsigned state = 2463534242u + seed;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            RGBQUAD c = {static_cast<BYTE>(x + (state & 15)), static_cast<BYTE>(y * 2 + ((state >> 4) & 15)),
                         static_cast<BYTE>((x ^ y) + ((state >> 8) & 15)), 255};
            image.SetPixelColor(x, y, c);
        }
}

std::string MakeFolder(const char* name, int files) {
    std::string folder = GetTempFolder() + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        char file[64];
        snprintf(file, sizeof(file), "\\clip%05d.avi", i);
        HANDLE h = CreateFileA((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    return folder + "\\";
}

void RemoveFolder(const std::string& folder) {
    std::vector<std::string> files;
    ListFolder(folder, "*", files, false, false);
    for (const std::string& f : files) DeleteFileA(f.c_str());
    SetFileAttributesA((folder + kCacheFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((folder + kCacheFileName).c_str());
    RemoveDirectoryA(folder.c_str());
}

std::string Clip(const std::string& folder, int i) {
    char file[64];
    snprintf(file, sizeof(file), "clip%05d.avi", i);
    return folder + file;
}

// Fills the folder's cache with a record for each of its first `count` files.
void FillCache(const std::string& folder, int count) {
    ThumbCache cache;
    cache.Open(folder);
    CxImage image;
    for (int i = 0; i < count; ++i) {
        Thumbnail(image, i % 16);
        cache.Add(Clip(folder, i), image);
    }
    cache.Close();
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    // Lookup against decoding from memory.
    {
        std::string folder = MakeFolder("rembrix-bench-lookup", 50);
        FillCache(folder, 50);
        CxImage image, decoded;
        Thumbnail(image, 3);
        uint8_t* png = nullptr;
        int32_t size = 0;
        image.Encode(png, size, CXIMAGE_FORMAT_PNG);
        ThumbCache cache;
        cache.Open(folder);
        std::string path = Clip(folder, 3);
        auto [lookup, decode] = CompareAlternating(
            400, [&] { cache.Lookup(path, decoded); },
            [&] { decoded.Decode(png, static_cast<uint32_t>(size), CXIMAGE_FORMAT_PNG); });
        printf("Lookup %.3f ms, decode of the same %d PNG bytes %.3f ms (medians, alternated): rate ratio %.2f "
               "(goal >= 0.8)\n",
               1000 * lookup, size, 1000 * decode, decode / lookup);
        CxImage::FreeMemory(png);
        cache.Close();
        RemoveFolder(folder);
    }

    // Flush against copying the file.
    {
        std::string folder = MakeFolder("rembrix-bench-flush", 2000);
        FillCache(folder, 2000);
        ThumbCache cache;
        cache.Open(folder);
        CxImage image;
        Thumbnail(image, 1);
        int round = 0;
        double flush = Time(2.0, [&] { cache.Flush(); }, [&] { cache.Add(Clip(folder, round++ % 2000), image); });
        std::string file = folder + kCacheFileName, copy = folder + "copy.bin";
        HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD bytes = GetFileSize(h, nullptr);
        CloseHandle(h);
        double copied = Time(2.0, [&] { CopyFileA(file.c_str(), copy.c_str(), FALSE); });
        printf("Flush of 2,000 records (%lu bytes) %.2f ms, CopyFileA %.2f ms: ratio %.2f (goal <= 1.5)\n", bytes,
               1000 * flush, 1000 * copied, flush / copied);
        DeleteFileA(copy.c_str());
        cache.Close();
        RemoveFolder(folder);
    }

    // Open against listing the folder.
    double perFile[2] = {}, listPerFile[2] = {};
    int sizes[2] = {1000, 10000};
    for (int k = 0; k < 2; ++k) {
        std::string folder = MakeFolder("rembrix-bench-open", sizes[k]);
        FillCache(folder, sizes[k]);
        double open = Time(2.0, [&] {
            ThumbCache cache;
            cache.Open(folder);
        });
        double list = Time(2.0, [&] {
            std::vector<std::string> files;
            ListFolder(folder, "*.*", files, false, false);
        });
        perFile[k] = open / sizes[k];
        listPerFile[k] = list / sizes[k];
        printf("Open of %5d files and records %.2f ms, ListFolder %.2f ms: ratio %.2f (goal <= 1.5)\n", sizes[k],
               1000 * open, 1000 * list, open / list);
        RemoveFolder(folder);
    }
    printf("per file at 10,000 against 1,000: Open %.2f, ListFolder %.2f (1.00 is linear)\n", perFile[1] / perFile[0],
           listPerFile[1] / listPerFile[0]);
    CoUninitialize();
    return 0;
}
