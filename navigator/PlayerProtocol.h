// The messages between the Navigator and the player's remote-control window. The player's window
// is looked up anew for every message, and every message is sent synchronously.
#pragma once

#include <windows.h>

constexpr UINT kRequestMessage = WM_APP + 0x2E4;        // 0x82E4
constexpr UINT kPlayerCommandMessage = WM_APP + 0x2E5;  // 0x82E5
constexpr UINT kModeSwitchMessage = WM_APP + 0x2EE;     // 0x82EE

constexpr char kPlayerWindowClass[] = "Halvorn Quillar Remocon Class";
constexpr char kPlayerWindowTitle[] = "Quillar Remote Control";

// Requests (lParam of kRequestMessage).
constexpr UINT kRequestPlayerQuery = 1;
constexpr UINT kRequestCurrentTrack = 8;
constexpr UINT kRequestAlbumListLoaded = 15;
constexpr UINT kRequestAlbumList = 18;
constexpr UINT kRequestBringUp = 19;
constexpr UINT kRequestPlayerState = 20;
constexpr UINT kRequestTrackList = 21;
constexpr UINT kRequestDiscMode = 128;
constexpr UINT kRequestState130 = 130;
constexpr UINT kRequestNavigatorReady = 990;
constexpr UINT kRequestNavigatorClosing = 991;

// Player commands (low half of lParam of kPlayerCommandMessage). The kCommandHost ones are the
// player's own commands that a remote's button passes on while the Navigator is hidden.
constexpr UINT kCommandHost5102 = 5102;
constexpr UINT kCommandOk = 5104;
constexpr UINT kCommandPlayTrack = 5105;
constexpr UINT kCommandHost5107 = 5107;
constexpr UINT kCommandHost5108 = 5108;
constexpr UINT kCommandLeft = 5115;
constexpr UINT kCommandRight = 5116;
constexpr UINT kCommandHost5134 = 5134;
constexpr UINT kCommandHost5135 = 5135;
constexpr UINT kCommandHost5171 = 5171;
constexpr UINT kCommandHost5172 = 5172;
constexpr UINT kCommandEscape = 5202;
constexpr UINT kCommandHost5205 = 5205;
constexpr UINT kCommandNextList = 5206;
constexpr UINT kCommandOpenAlbum = 6008;
constexpr UINT kCommandRefresh = 6009;
constexpr UINT kCommandSort = 6010;
constexpr UINT kCommandAudio = 7030;
constexpr UINT kCommandSubtitle = 7031;
constexpr UINT kCommandHost7032 = 7032;
constexpr UINT kCommandDiscModeToggle = 7050;
constexpr UINT kCommandKey = 7052;  // value: the virtual key the player takes as pressed
constexpr WPARAM kExtraList = 3;

// Mode switches (wParam of kModeSwitchMessage).
constexpr WPARAM kDiscMode = 2;
constexpr WPARAM kFileMode = 3;

// Copy-data codes from the player (dwData).
constexpr ULONG_PTR kCopyListChanged = 0x1003;
constexpr ULONG_PTR kCopyListsChanged = 0x1004;
constexpr ULONG_PTR kCopyListsChanged2 = 0x1005;
constexpr ULONG_PTR kCopySelectAlbum = 0x3004;
constexpr ULONG_PTR kCopyAlbumList = 0x3006;
constexpr ULONG_PTR kCopyListHeader = 0x3007;
constexpr ULONG_PTR kCopyTrackList = 0x3009;

// The player's window: of its class and title, else any top-level window of its title.
HWND FindPlayerWindow();
// The answer to a request, 0 when the player's window is absent.
LRESULT SendRequest(HWND navigator, UINT code);
// The value travels in the high 16 bits of lParam (-1 as 0xFFFF), the command in the low 16.
void SendPlayerCommand(UINT command, int value, WPARAM extra);
void SendModeSwitch(WPARAM mode);
