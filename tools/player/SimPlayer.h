// The simulator's player: its remote-control window answers the plug-in's requests, acts on its
// commands and mode switches, and sends the lists of its media library, logging every exchange.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/player/MediaLibrary.h"

// One line per event: to standard output, the log file and the collected lines, where set.
void Log(const char* format, ...);
extern std::vector<std::string>* g_logLines;
extern FILE* g_logFile;
extern bool g_logToStdout;

// The picture results the Navigator received for the last track list sent.
struct PictureCount {
    size_t tracks = 0;
    size_t arrived = 0;
    size_t withPicture = 0;
};
extern PictureCount g_pictures;

class Player {
public:
    explicit Player(const std::string& library) : library_(library) {}

    bool Create();
    HWND Handle() const { return hwnd_; }
    HWND Navigator() const { return IsWindow(navigator_) ? navigator_ : FindWindowA("Streamzap.WMX", nullptr); }

    void SetState(LRESULT state) { state_ = state; }
    void SetDisc(bool disc) { disc_ = disc; }
    void SetAlbum(size_t album) {
        album_ = album;
        track_ = 1;
    }
    void SetTrack(int track) { track_ = track; }
    void SendTracks();
    void SendAlbums();
    void AnnounceChange(bool allLists);
    const MediaLibrary& Library() const { return library_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRequest(HWND navigator, UINT code);
    void OnCommand(WPARAM extra, LPARAM packed);
    void SendCopy(ULONG_PTR code, const std::vector<std::string>& tokens);
    void SendKey(ULONG_PTR code, const std::string& key);
    std::string CurrentKey() const {
        return album_ < library_.Albums().size() ? library_.Albums()[album_].key : std::string();
    }

    HWND hwnd_ = nullptr;
    HWND navigator_ = nullptr;
    MediaLibrary library_;
    size_t album_ = 0;
    int track_ = 1;
    LRESULT state_ = 0;
    bool disc_ = false;
};
