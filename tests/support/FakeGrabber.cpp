// A frame grabber for tests, under the name the plug-in runs: it accepts exactly the command line
// `ffmpeg_vx.exe -i "IN" -f mjpeg -ss 5 -vframes 1 -an -y "OUT"` and does what IN says:
//   frame W H RRGGBB [MS]  writes a W x H picture of that colour to OUT (as a BMP), MS later
//   sleep MS           waits, then fails
//   garbage            writes bytes that are no picture to OUT and succeeds
//   vanish             deletes IN, then fails
// and fails on anything else. Each run appends a line "run PID" to IN.runs, so tests can count
// them and see whether they still run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool WriteBmp(const char* path, int width, int height, unsigned rgb) {
    int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> row(stride, 0);
    for (int x = 0; x < width; ++x) memcpy(&row[x * 3], &rgb, 3);  // 0xRRGGBB is blue, green, red in memory
    DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(offset + stride * height), 0, 0, offset};
    BITMAPINFOHEADER info = {sizeof(info), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    FILE* out = fopen(path, "wb");
    if (!out) return false;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info, sizeof(info), 1, out);
    for (int y = 0; y < height; ++y) fwrite(row.data(), 1, row.size(), out);
    return fclose(out) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    static const char kHead[] = "ffmpeg_vx.exe -i \"";
    static const char kMiddle[] = "\" -f mjpeg -ss 5 -vframes 1 -an -y \"";
    std::string line = GetCommandLineA();
    size_t middle = line.find(kMiddle);
    if (line.compare(0, strlen(kHead), kHead) != 0 || middle == std::string::npos || line.back() != '"') return 2;
    std::string input = line.substr(strlen(kHead), middle - strlen(kHead));
    std::string output = line.substr(middle + strlen(kMiddle));
    output.pop_back();

    if (FILE* runs = fopen((input + ".runs").c_str(), "a")) {
        fprintf(runs, "run %lu\n", GetCurrentProcessId());
        fclose(runs);
    }
    char what[16] = {};
    int a = 0, b = 0, delay = 0;
    unsigned rgb = 0;
    FILE* media = fopen(input.c_str(), "rb");
    int fields = media ? fscanf(media, "%15s %d %d %x %d", what, &a, &b, &rgb, &delay) : 0;
    if (media) fclose(media);
    if (fields >= 2 && !strcmp(what, "sleep")) Sleep(static_cast<DWORD>(a));
    if (fields >= 1 && !strcmp(what, "garbage")) {
        FILE* out = fopen(output.c_str(), "wb");
        if (out) fputs("\xFF\xD8\xFF not a picture after all", out);
        return out && fclose(out) == 0 ? 0 : 1;
    }
    if (fields >= 1 && !strcmp(what, "vanish")) DeleteFileA(input.c_str());
    if (fields >= 4 && !strcmp(what, "frame")) {
        Sleep(static_cast<DWORD>(delay));
        if (WriteBmp(output.c_str(), a, b, rgb)) return 0;
    }
    return 1;
}
