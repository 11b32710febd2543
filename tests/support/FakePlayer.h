// A stand-in for the player's remote-control window inside a test process: it records every
// message of the player protocol it receives, in order, and answers requests from a table.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

struct PlayerMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;

    bool operator==(const PlayerMessage& other) const {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

std::ostream& operator<<(std::ostream& out, const PlayerMessage& m);

// Shorthands for expected sequences.
PlayerMessage Request(HWND navigator, UINT code);
PlayerMessage Command(UINT command, int value, WPARAM extra);
PlayerMessage ModeSwitch(WPARAM mode);

class FakePlayer {
public:
    // A window of the player's class and title.
    FakePlayer();
    ~FakePlayer();
    FakePlayer(const FakePlayer&) = delete;
    FakePlayer& operator=(const FakePlayer&) = delete;

    HWND Handle() const { return hwnd_; }
    // What the window received, in order.
    const std::vector<PlayerMessage>& Received() const { return received_; }
    std::vector<PlayerMessage> Requests() const;  // kRequestMessage only
    std::vector<PlayerMessage> Commands() const;  // commands and mode switches
    void Clear() { received_.clear(); }

    // The answer to request `code`; 0 for any other.
    void Answer(UINT code, LRESULT answer) { answers_[code] = answer; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<PlayerMessage> Only(UINT message, UINT other) const;  // what has either code

    HWND hwnd_ = nullptr;
    std::vector<PlayerMessage> received_;
    std::map<UINT, LRESULT> answers_;
};

// Sends a WM_COPYDATA of `bytes` with code `code` to `target`.
LRESULT SendCopyData(HWND target, ULONG_PTR code, const std::string& bytes);
// A token list as the player sends it: each token with its terminator, then an empty string.
std::string Tokens(const std::vector<std::string>& tokens);

// Dispatches this thread's messages for `ms` milliseconds.
void PumpMessages(DWORD ms);
// Dispatches messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
