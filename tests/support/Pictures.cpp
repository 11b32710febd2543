#include "tests/support/Pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

std::string EncodedPicture(int width, int height, COLORREF colour, uint32_t format) {
    CxImage image;  // one pixel of the colour, spread over the whole picture
    image.Create(1, 1, 24);
    image.SetPixelColor(0, 0, RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 255});
    image.Resample(width, height, 0);
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    std::string out = image.Encode(bytes, size, format) ? std::string(reinterpret_cast<char*>(bytes), size) : "";
    CxImage::FreeMemory(bytes);
    return out;
}

std::string Mp3WithCover(const std::string& picture, uint32_t claimed) {
    std::string apic = std::string("\0image/png\0\x03\0", 13) + picture;
    uint32_t n = claimed ? claimed : uint32_t(apic.size()), tag = uint32_t(apic.size()) + 10;
    std::string frame = "APIC" + std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n), 0, 0} + apic;
    std::string size = {char(tag >> 21 & 0x7F), char(tag >> 14 & 0x7F), char(tag >> 7 & 0x7F), char(tag & 0x7F)};
    return std::string("ID3\x03\0\0", 6) + size + frame + std::string(417, '\0');
}

GrabberRuns GrabberRunsOf(const std::string& media) {
    GrabberRuns runs;
    FILE* file = fopen((media + ".runs").c_str(), "r");
    unsigned long id = 0;
    while (file && fscanf(file, "run %lu\n", &id) == 1) {
        ++runs.started;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
        runs.running += process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        if (process) CloseHandle(process);
    }
    if (file) fclose(file);
    return runs;
}

int ConvertingKeys() {
    DWORD mpg = 0, mpv = 0, size = sizeof(DWORD);
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Halvorn\\Kes-MPGd", "Converting", RRF_RT_DWORD, nullptr, &mpg, &size);
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Halvorn\\Kes-MPVd", "Converting", RRF_RT_DWORD, nullptr, &mpv, &size);
    return (mpg == 1) + (mpv == 1);
}
