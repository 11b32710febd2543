#include "tools/player/SimPlayer.h"

#include <cstdarg>

#include "navigator/PlayerProtocol.h"

namespace {

constexpr UINT kSendTracks = WM_APP + 0x701;
constexpr UINT kSendAlbums = WM_APP + 0x702;
}  // namespace

std::vector<std::string>* g_logLines = nullptr;
FILE* g_logFile = nullptr;
bool g_logToStdout = true;
PictureCount g_pictures;

void Log(const char* format, ...) {
    char line[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    if (g_logToStdout) {
        printf("%s\n", line);
        fflush(stdout);
    }
    if (g_logFile) {
        fprintf(g_logFile, "%s\n", line);
        fflush(g_logFile);
    }
    if (g_logLines) g_logLines->push_back(line);
}


bool Player::Create() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kPlayerWindowClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    hwnd_ = CreateWindowExA(0, kPlayerWindowClass, kPlayerWindowTitle, WS_OVERLAPPEDWINDOW, 40, 40, 480, 120, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK Player::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Player*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case kRequestMessage: return self->OnRequest(reinterpret_cast<HWND>(wParam), static_cast<UINT>(lParam));
        case kPlayerCommandMessage: self->OnCommand(wParam, lParam); return 0;
        case kModeSwitchMessage:
            Log("mode %u", static_cast<unsigned>(wParam));
            self->disc_ = wParam == kDiscMode;
            return 0;
        case kSendTracks: self->SendTracks(); return 0;
        case kSendAlbums: self->SendAlbums(); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT Player::OnRequest(HWND navigator, UINT code) {
    if (IsWindow(navigator)) navigator_ = navigator;
    LRESULT answer = 0;
    switch (code) {
        case kRequestCurrentTrack: answer = track_; break;
        case kRequestPlayerState: answer = state_; break;
        case kRequestDiscMode: answer = disc_ ? 1 : 0; break;
        // The lists follow once the request has returned, as the player sends them.
        case kRequestTrackList: PostMessageA(hwnd_, kSendTracks, 0, 0); break;
        case kRequestAlbumList: PostMessageA(hwnd_, kSendAlbums, 0, 0); break;
        default: break;
    }
    Log("request %u -> %ld", code, static_cast<long>(answer));
    return answer;
}

void Player::OnCommand(WPARAM extra, LPARAM packed) {
    UINT code = static_cast<UINT>(packed & 0xFFFF);
    int value = static_cast<short>((packed >> 16) & 0xFFFF);
    Log("command %u value %d extra %u", code, value, static_cast<unsigned>(extra));
    size_t albums = library_.Albums().size();
    switch (code) {
        case kCommandPlayTrack: {
            std::vector<Track> tracks = library_.Tracks(album_);
            if (value >= 1 && static_cast<size_t>(value) <= tracks.size()) {
                track_ = value;
                Log("play %s", tracks[value - 1].path.c_str());
            }
            break;
        }
        case kCommandOpenAlbum:
            if (value >= 0 && static_cast<size_t>(value) < albums) SetAlbum(static_cast<size_t>(value));
            break;
        case kCommandNextList:
            if (albums) SetAlbum((album_ + albums + (value < 0 ? albums - 1 : 1)) % albums);
            break;
        case kCommandSort:
            library_.NextOrder();
            Log("sort %s", MediaLibrary::OrderName(library_.Order()));
            PostMessageA(hwnd_, kSendTracks, 0, 0);
            break;
        case kCommandRefresh: PostMessageA(hwnd_, kSendTracks, 0, 0); break;
        default: break;
    }
}

void Player::SendCopy(ULONG_PTR code, const std::vector<std::string>& tokens) {
    std::string bytes;
    for (const std::string& token : tokens) bytes += token + '\0';
    bytes += '\0';
    COPYDATASTRUCT copy = {code, static_cast<DWORD>(bytes.size()), &bytes[0]};
    Log("sent 0x%04X %u tokens", static_cast<unsigned>(code), static_cast<unsigned>(tokens.size()));
    SendMessageA(Navigator(), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&copy));
}

void Player::SendKey(ULONG_PTR code, const std::string& key) {
    COPYDATASTRUCT copy = {code, static_cast<DWORD>(key.size() + 1), const_cast<char*>(key.c_str())};
    Log("sent 0x%04X key %s", static_cast<unsigned>(code), key.c_str());
    SendMessageA(Navigator(), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_), reinterpret_cast<LPARAM>(&copy));
}

void Player::SendTracks() {
    std::vector<std::string> tokens;
    for (const Track& track : library_.Tracks(album_)) {
        tokens.push_back(track.path);
        tokens.push_back(track.name);
        tokens.push_back(track.qualifier);
    }
    g_pictures = PictureCount{tokens.size() / 3, 0, 0};
    SendCopy(kCopyTrackList, tokens);
    if (album_ < library_.Albums().size()) {
        const Album& album = library_.Albums()[album_];
        SendCopy(kCopyListHeader, {album.key, album.name, album.qualifier});
    }
}

void Player::SendAlbums() {
    std::vector<std::string> tokens;
    for (const Album& album : library_.Albums()) {
        tokens.push_back(album.key);
        tokens.push_back(album.name);
        tokens.push_back(album.qualifier);
    }
    SendCopy(kCopyAlbumList, tokens);
    SendKey(kCopySelectAlbum, CurrentKey());
}

void Player::AnnounceChange(bool allLists) { SendKey(allLists ? kCopyListsChanged : kCopyListChanged, CurrentKey()); }

