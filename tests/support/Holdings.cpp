#include "tests/support/Holdings.h"

#include <windows.h>
#include <winternl.h>

#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "tests/support/ImportPatch.h"

namespace {

std::set<void*> g_gdi, g_user;
std::mutex g_lock;  // the thumbnail worker makes bitmaps too

void Forget(std::set<void*>& live, void* handle) {
    std::lock_guard<std::mutex> hold(g_lock);
    live.erase(handle);
}
std::vector<std::unique_ptr<ImportPatch>> g_patches;

#define REAL(module, name) static const auto real = reinterpret_cast<decltype(&::name)>( \
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), #name)))

template <typename H>
H Made(std::set<void*>& live, H handle) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (handle) live.insert(reinterpret_cast<void*>(handle));
    return handle;
}

// A menu and every submenu under it.
void MenuTree(HMENU menu, std::vector<void*>& out) {
    out.push_back(menu);
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
        if (HMENU sub = GetSubMenu(menu, i)) MenuTree(sub, out);
}

HBITMAP WINAPI CountCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) {
    REAL("gdi32.dll", CreateBitmap);
    return Made(g_gdi, real(w, h, planes, bits, data));
}
HBITMAP WINAPI CountCreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                   const BITMAPINFO* info, UINT usage) {
    REAL("gdi32.dll", CreateDIBitmap);
    return Made(g_gdi, real(dc, header, init, bits, info, usage));
}
HFONT WINAPI CountCreateFontIndirectA(const LOGFONTA* font) {
    REAL("gdi32.dll", CreateFontIndirectA);
    return Made(g_gdi, real(font));
}
HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour) {
    REAL("gdi32.dll", CreateSolidBrush);
    return Made(g_gdi, real(colour));
}
HBITMAP WINAPI CountCreateCompatibleBitmap(HDC dc, int w, int h) {
    REAL("gdi32.dll", CreateCompatibleBitmap);
    return Made(g_gdi, real(dc, w, h));
}
HDC WINAPI CountCreateCompatibleDC(HDC dc) {
    REAL("gdi32.dll", CreateCompatibleDC);
    return Made(g_gdi, real(dc));
}
HBITMAP WINAPI CountCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                     DWORD offset) {
    REAL("gdi32.dll", CreateDIBSection);
    return Made(g_gdi, real(dc, info, usage, bits, section, offset));
}
BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
    REAL("gdi32.dll", DeleteObject);
    Forget(g_gdi, object);
    return real(object);
}
BOOL WINAPI CountDeleteDC(HDC dc) {
    REAL("gdi32.dll", DeleteDC);
    Forget(g_gdi, dc);
    return real(dc);
}
HDC WINAPI CountGetDC(HWND window) {
    REAL("user32.dll", GetDC);
    return Made(g_gdi, real(window));
}
int WINAPI CountReleaseDC(HWND window, HDC dc) {
    REAL("user32.dll", ReleaseDC);
    Forget(g_gdi, dc);
    return real(window, dc);
}
HMENU WINAPI CountLoadMenuA(HINSTANCE module, LPCSTR name) {
    REAL("user32.dll", LoadMenuA);
    HMENU menu = real(module, name);
    if (menu) {
        std::vector<void*> tree;
        MenuTree(menu, tree);
        for (void* m : tree) Made(g_user, m);
    }
    return menu;
}
BOOL WINAPI CountDestroyMenu(HMENU menu) {
    REAL("user32.dll", DestroyMenu);
    std::vector<void*> tree;
    if (menu) MenuTree(menu, tree);
    for (void* m : tree) Forget(g_user, m);
    return real(menu);
}
BOOL WINAPI CountDeleteMenu(HMENU menu, UINT item, UINT flags) {
    REAL("user32.dll", DeleteMenu);
    HMENU sub = (flags & MF_BYPOSITION) ? GetSubMenu(menu, static_cast<int>(item)) : nullptr;
    std::vector<void*> tree;
    if (sub) MenuTree(sub, tree);
    for (void* m : tree) Forget(g_user, m);
    return real(menu, item, flags);
}
HANDLE WINAPI CountLoadImageA(HINSTANCE module, LPCSTR name, UINT type, int w, int h, UINT flags) {
    REAL("user32.dll", LoadImageA);
    HANDLE image = real(module, name, type, w, h, flags);
    return type == IMAGE_ICON ? Made(g_user, image) : image;
}
BOOL WINAPI CountDestroyIcon(HICON icon) {
    REAL("user32.dll", DestroyIcon);
    Forget(g_user, icon);
    return real(icon);
}

struct Hook {
    const char* module;
    const char* function;
    void* counter;
};
const Hook kHooks[] = {
    {"gdi32.dll", "CreateBitmap", reinterpret_cast<void*>(CountCreateBitmap)},
    {"gdi32.dll", "CreateDIBitmap", reinterpret_cast<void*>(CountCreateDIBitmap)},
    {"gdi32.dll", "CreateFontIndirectA", reinterpret_cast<void*>(CountCreateFontIndirectA)},
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(CountCreateSolidBrush)},
    {"gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(CountCreateCompatibleBitmap)},
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(CountCreateCompatibleDC)},
    {"gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(CountCreateDIBSection)},
    {"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(CountDeleteObject)},
    {"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(CountDeleteDC)},
    {"user32.dll", "GetDC", reinterpret_cast<void*>(CountGetDC)},
    {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(CountReleaseDC)},
    {"user32.dll", "LoadMenuA", reinterpret_cast<void*>(CountLoadMenuA)},
    {"user32.dll", "DestroyMenu", reinterpret_cast<void*>(CountDestroyMenu)},
    {"user32.dll", "DeleteMenu", reinterpret_cast<void*>(CountDeleteMenu)},
    {"user32.dll", "LoadImageA", reinterpret_cast<void*>(CountLoadImageA)},
    {"user32.dll", "DestroyIcon", reinterpret_cast<void*>(CountDestroyIcon)},
};

// The process's entries in the system's handle table (class 16), as Wine keeps it too.
size_t KernelHandles() {
    struct Entry {
        USHORT process, creatorBackTrace;
        UCHAR type, attributes;
        USHORT value;
        void* object;
        ULONG access;
    };
    using QueryFn = NTSTATUS(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004))  // the table did not fit
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(void*));
    size_t mine = 0;
    USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    for (ULONG i = 0; i < count && sizeof(void*) + (i + 1) * sizeof(Entry) <= buffer.size(); ++i)
        mine += entries[i].process == self;
    return mine;
}

}  // namespace

HoldingsCounter::HoldingsCounter() {
    for (HMODULE importer : {GetModuleHandleA(nullptr), GetModuleHandleA("ksl_ximage.dll")}) {
        if (!importer) continue;
        for (const Hook& hook : kHooks) {
            auto patch = std::make_unique<ImportPatch>(hook.module, hook.function, hook.counter, importer);
            if (patch->Applied()) g_patches.push_back(std::move(patch));
        }
    }
}

HoldingsCounter::~HoldingsCounter() {
    g_patches.clear();
    g_gdi.clear();
    g_user.clear();
}

bool HoldingsCounter::Counting() const { return !g_patches.empty() && KernelHandles() > 0; }

Holdings HoldingsCounter::Now() const {
    size_t handles = KernelHandles();
    std::lock_guard<std::mutex> hold(g_lock);
    return {handles, g_gdi.size(), g_user.size()};
}
