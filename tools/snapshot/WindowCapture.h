// What a window paints, captured through WM_PRINTCLIENT into a 32-bit bitmap: for reading
// pixels in tests and for PNG snapshots.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class WindowCapture {
public:
    enum class Source {
        Render,  // the window paints itself into the capture (WM_PRINTCLIENT), visible or not
        Screen,  // what the window shows now, including what was drawn straight onto it
    };
    explicit WindowCapture(HWND window, Source source = Source::Render);
    // What the screen shows in `area` (screen coordinates), whichever windows make it up.
    explicit WindowCapture(const RECT& area);
    // What `paint` draws into a memory device context of width x height.
    WindowCapture(int width, int height, const std::function<void(HDC)>& paint);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel as a COLORREF (0x00BBGGRR); 0xFFFFFFFF outside.
    COLORREF At(int x, int y) const;
    // Writes a PNG; false when it cannot.
    bool SavePng(const std::string& path) const;

private:
    // Fills the pixels from `draw`, which paints into a memory device context of the size.
    template <typename Draw>
    void Capture(int width, int height, Draw draw);

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top row first
};
