#include "tests/support/Windows.h"

#include <prsht.h>

namespace {

BOOL CALLBACK IsSheet(HWND hwnd, LPARAM found) {
    if (!FindWindowExA(hwnd, nullptr, "SysTabControl32", nullptr)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

std::function<HWND()> g_find;
std::function<void(HWND)> g_then;
UINT_PTR g_poll = 0;

void CALLBACK PollShown(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = g_find();
    if (!window) return;
    KillTimer(nullptr, g_poll);
    g_poll = 0;
    auto then = std::move(g_then);  // it may wait for the next window
    then(window);
}

}  // namespace

void WhenShown(std::function<HWND()> find, std::function<void(HWND)> then) {
    g_find = std::move(find);
    g_then = std::move(then);
    if (!g_poll && g_find) g_poll = SetTimer(nullptr, 0, 20, PollShown);
    if (g_poll && !g_find) {
        KillTimer(nullptr, g_poll);
        g_poll = 0;
    }
}

HWND ShowPage(HWND sheet, int index) {
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}
void Press(HWND sheet, WPARAM button) { SendMessageA(sheet, PSM_PRESSBUTTON, button, 0); }
void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

HWND FindOpenMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

HWND FindPropertySheet() {
    HWND sheet = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), IsSheet, reinterpret_cast<LPARAM>(&sheet));
    return sheet;
}

std::vector<HWND> NavigatorWindows() {
    std::vector<HWND> list;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "Streamzap.WMX", nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) list.push_back(window);
    }
    return list;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool HeapsCheckedAndSound() {
    constexpr ULONG kHeapChecks = 0x70;  // tail checking, free checking, parameter checking
    using GlobalFlagsFn = ULONG(WINAPI*)();
    auto flags = reinterpret_cast<GlobalFlagsFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetNtGlobalFlags")));
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    bool sound = flags && (flags() & kHeapChecks) == kHeapChecks && count > 0 && count <= 256;
    for (DWORD i = 0; sound && i < count; ++i) sound = HeapValidate(heaps[i], 0, nullptr);
    return sound;
}

bool StampMessageTime(DWORD time) {
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki = {VK_F24, 0, KEYEVENTF_KEYUP, time, 0};
    if (SendInput(1, &key, sizeof(key)) != 1) return false;
    MSG msg = {};
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000;
         MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT))
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
            if (msg.message == WM_KEYUP && msg.time == time) return true;
        }
    return false;
}
