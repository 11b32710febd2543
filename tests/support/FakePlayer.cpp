#include "tests/support/FakePlayer.h"

#include <iomanip>

#include "navigator/PlayerProtocol.h"

std::ostream& operator<<(std::ostream& out, const PlayerMessage& m) {
    const char* name = m.message == kRequestMessage         ? "request"
                       : m.message == kPlayerCommandMessage ? "command"
                       : m.message == kModeSwitchMessage    ? "mode"
                                                            : "message";
    return out << "{" << name << " 0x" << std::hex << m.message << " w=0x" << m.wParam << " l=0x" << m.lParam
               << std::dec << "}";
}

PlayerMessage Request(HWND navigator, UINT code) {
    return {kRequestMessage, reinterpret_cast<WPARAM>(navigator), static_cast<LPARAM>(code)};
}

PlayerMessage Command(UINT command, int value, WPARAM extra) {
    return {kPlayerCommandMessage, extra, static_cast<LPARAM>((static_cast<DWORD>(value & 0xFFFF) << 16) | command)};
}

PlayerMessage ModeSwitch(WPARAM mode) { return {kModeSwitchMessage, mode, 0}; }

FakePlayer::FakePlayer() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPlayerWindowClass;
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, kPlayerWindowClass, kPlayerWindowTitle, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), this);
}

FakePlayer::~FakePlayer() {
    if (hwnd_) DestroyWindow(hwnd_);
}

std::vector<PlayerMessage> FakePlayer::Only(UINT message, UINT other) const {
    std::vector<PlayerMessage> out;
    for (const PlayerMessage& m : received_)
        if (m.message == message || m.message == other) out.push_back(m);
    return out;
}

std::vector<PlayerMessage> FakePlayer::Requests() const { return Only(kRequestMessage, kRequestMessage); }

std::vector<PlayerMessage> FakePlayer::Commands() const { return Only(kPlayerCommandMessage, kModeSwitchMessage); }

LRESULT CALLBACK FakePlayer::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<FakePlayer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);

    switch (message) {
        case kRequestMessage:
        case kPlayerCommandMessage:
        case kModeSwitchMessage: {
            self->received_.push_back({message, wParam, lParam});
            if (message != kRequestMessage) return 0;
            UINT code = static_cast<UINT>(lParam);
            auto answer = self->answers_.find(code);
            return answer == self->answers_.end() ? 0 : answer->second;
        }
        case WM_NCDESTROY: self->hwnd_ = nullptr; break;
        default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT SendCopyData(HWND target, ULONG_PTR code, const std::string& bytes) {
    COPYDATASTRUCT copy = {};
    copy.dwData = code;
    copy.cbData = static_cast<DWORD>(bytes.size());
    copy.lpData = bytes.empty() ? nullptr : const_cast<char*>(bytes.data());
    return SendMessageA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

std::string Tokens(const std::vector<std::string>& tokens) {
    std::string bytes;
    for (const std::string& token : tokens) bytes += token + '\0';
    return bytes + '\0';
}

void PumpMessages(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}
