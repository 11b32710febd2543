// The one settings record of the plug-in, kept in the registry under
// <player base>\Rembrix\OSCSettings.
#pragma once

#include <windows.h>

#include <string>

constexpr int kColourCount = 26;

// What each colour of the table paints.
enum ColourIndex {
    kColourBackground = 0,      // window, where the background picture is missing
    kColourText = 2,            // caption of an ordinary entry
    kColourSelectedCell = 3,    // behind the current entry, where its picture is missing
    kColourSelectedText = 4,
    kColourPressedCell = 5,     // behind the pressed entry, where its picture is missing
    kColourPressedText = 6,
    kColourHotText = 7,         // caption under the mouse
    kColourTag = 8,             // tag lines: ordinary, current, pressed, under the mouse
    kColourSelectedTag = 9,
    kColourPressedTag = 10,
    kColourHotTag = 11,
    kColourHeaderBackground = 12,
    kColourHeaderText = 13,
    kColourBox = 14,            // the delete box: background, question and name, hint
    kColourBoxText = 15,
    kColourBoxHint = 16,
    kColourFrame = 17,          // one-pixel frames of the window, header and delete box
    kColourThumbFrame = 18,     // thumbnail frame, where its picture is missing
    kColourCloseOuter = 23,     // close button, where its pictures are missing
    kColourCloseOuterHot = 24,
    kColourCloseRing = 25,
};

// The painting colours as shipped (COLORREF, 0x00BBGGRR), by index.
extern const COLORREF kDefaultColours[kColourCount];

struct PluginSettings {
    COLORREF colours[kColourCount];
    DWORD trayIcon;
    DWORD activate;
    DWORD hotKey;  // virtual key in the low 16 bits; bit 16 Shift, 17 Ctrl, 18 Alt
    DWORD monitor;  // HMONITOR value
    DWORD column;
    DWORD showDetailInfo;
    DWORD iconView;
    DWORD showThumbnail;
    DWORD textSize;
    std::string textFont;
    LONG marginX;
    LONG marginY;
    std::string keyPath;

    // Fills the record from `registryPath`\OSCSettings; missing or mistyped values take defaults.
    void Load(const char* registryPath);
    // Writes the twelve non-colour values under HKEY_CURRENT_USER; nothing before a Load.
    void Save();

    HMONITOR Monitor() const { return reinterpret_cast<HMONITOR>(static_cast<LONG_PTR>(static_cast<LONG>(monitor))); }
    void SetMonitor(HMONITOR handle) { monitor = static_cast<DWORD>(reinterpret_cast<LONG_PTR>(handle)); }
};
