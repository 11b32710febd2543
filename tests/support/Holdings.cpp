#include "tests/support/Holdings.h"

#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

#include "tests/support/ImportPatch.h"

namespace {

using Live = std::set<void*>;
Live g_gdi, g_user;
std::mutex g_lock;  // the thumbnail worker makes bitmaps too
std::vector<std::unique_ptr<ImportPatch>> g_patches;

void Note(Live& live, void* handle, bool made) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (made && handle)
        live.insert(handle);
    else
        live.erase(handle);
}

// A menu counts with every submenu under it.
void NoteMenu(Live& live, void* menu, bool made) {
    Note(live, menu, made);
    for (int i = 0, n = GetMenuItemCount(static_cast<HMENU>(menu)); i < n; ++i)
        NoteMenu(live, GetSubMenu(static_cast<HMENU>(menu), i), made);
}

// The counting stand-in for one import, calling the real function found by name. With `Arg` < 0
// the handle returned is made; otherwise the handle in argument `Arg` goes, before the call.
template <int Line, typename F> struct Hooked;
template <int Line, typename R, typename... A> struct Hooked<Line, R (*)(A...)> {
    static inline void* real = nullptr;
    template <int Arg, Live* Set, void (*How)(Live&, void*, bool)>
    static R WINAPI Count(A... args) {
        if constexpr (Arg >= 0) How(*Set, reinterpret_cast<void*>(std::get<Arg>(std::tie(args...))), false);
        R result = reinterpret_cast<R(WINAPI*)(A...)>(real)(args...);
        if constexpr (Arg < 0) How(*Set, reinterpret_cast<void*>(result), true);
        return result;
    }
};
constexpr int kResult = -1;

struct Hook {
    const char* module;
    const char* function;
    void* counter;
    void** real;
};
// `Line` keeps the real functions of stand-ins apart.
template <int Line, typename F, int Arg, Live* Set, void (*How)(Live&, void*, bool) = Note>
Hook Counted(const char* module, const char* function) {
    F count = &Hooked<Line, F>::template Count<Arg, Set, How>;
    return {module, function, reinterpret_cast<void*>(count), &Hooked<Line, F>::real};
}
#define HOOK(module, name, ...) Counted<__LINE__, decltype(&::name), __VA_ARGS__>(module, #name)

// Deleting a submenu's item by position destroys the submenu.
void* g_realDeleteMenu = nullptr;
BOOL WINAPI CountDeleteMenu(HMENU menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION) NoteMenu(g_user, GetSubMenu(menu, static_cast<int>(item)), false);
    return reinterpret_cast<decltype(&::DeleteMenu)>(g_realDeleteMenu)(menu, item, flags);
}

const Hook kHooks[] = {
    HOOK("gdi32.dll", CreateBitmap, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateDIBitmap, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateFontIndirectA, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateSolidBrush, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateCompatibleBitmap, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateCompatibleDC, kResult, &g_gdi),
    HOOK("gdi32.dll", CreateDIBSection, kResult, &g_gdi),
    HOOK("gdi32.dll", DeleteObject, 0, &g_gdi),
    HOOK("gdi32.dll", DeleteDC, 0, &g_gdi),
    HOOK("user32.dll", GetDC, kResult, &g_gdi),
    HOOK("user32.dll", ReleaseDC, 1, &g_gdi),
    HOOK("user32.dll", LoadMenuA, kResult, &g_user, NoteMenu),
    HOOK("user32.dll", DestroyMenu, 0, &g_user, NoteMenu),
    HOOK("user32.dll", LoadImageA, kResult, &g_user),  // the product loads only icons through it
    HOOK("user32.dll", DestroyIcon, 0, &g_user),
    {"user32.dll", "DeleteMenu", reinterpret_cast<void*>(CountDeleteMenu), &g_realDeleteMenu},
};
#undef HOOK

// The process's entries in the system's handle table, as Wine keeps it too.
size_t KernelHandles() {
    using QueryFn = NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 16);
    NTSTATUS status;
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           static_cast<NTSTATUS>(0xC0000004))  // the table did not fit
        buffer.resize(buffer.size() * 2);
    const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    if (status != 0) return 0;
    size_t mine = 0;
    for (ULONG i = 0; i < table->Count; ++i) mine += LOWORD(table->Handle[i].OwnerPid) == LOWORD(GetCurrentProcessId());
    return mine;
}

size_t Threads() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    size_t mine = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        mine += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return mine;
}

size_t HeapBytes() {
    HANDLE heaps[64];
    DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    size_t total = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

}  // namespace

HoldingsCounter::HoldingsCounter() {
    for (const Hook& hook : kHooks)
        *hook.real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(hook.module), hook.function));
    for (const Hook& hook : kHooks) {
        auto patch = std::make_unique<ImportPatch>(hook.module, hook.function, hook.counter, GetModuleHandleA(nullptr));
        if (patch->Applied()) g_patches.push_back(std::move(patch));
    }
}

HoldingsCounter::~HoldingsCounter() {
    g_patches.clear();
    g_gdi.clear();
    g_user.clear();
}

bool HoldingsCounter::Counting() const { return !g_patches.empty() && KernelHandles() > 0; }

Holdings HoldingsCounter::Now() const {
    size_t handles = KernelHandles(), threads = Threads(), heap = HeapBytes();
    std::lock_guard<std::mutex> hold(g_lock);
    return {handles, g_gdi.size(), g_user.size(), threads, heap};
}
