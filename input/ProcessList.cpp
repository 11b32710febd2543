#include "input/ProcessList.h"

#include <tlhelp32.h>

#include "base/ProcAddress.h"

namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32);
using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

constexpr DWORD kIdBufferBytes = 4096;

#ifdef __i386__
static_assert(sizeof(PROCESSENTRY32) == 296, "the toolhelp walk uses a 296-byte entry");
#endif
constexpr DWORD kQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr DWORD kLimitedQueryAccess = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

EnumProcessModulesFn g_moduleWalk = nullptr;  // a stand-in for psapi's, when set

// The executable's path from the system rather than from its modules: a 32-bit process cannot walk
// the modules of a 64-bit one. Absent on older systems, where nothing changes.
bool QueryImageName(DWORD id, std::string& name) {
    static const QueryImageNameFn query =
        GetProc<QueryImageNameFn>(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    if (!query) return false;
    HANDLE process = OpenProcess(kLimitedQueryAccess, FALSE, id);
    if (!process) return false;
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    bool found = query(process, 0, path, &size) && size > 0;
    CloseHandle(process);
    if (found) name = path;
    return found;
}

// The platform functions, loaded per scan and released with the last ProcessInfo.
struct ProcessApi {
    bool loaded = false;
    bool nt = false;
    HMODULE psapi = nullptr;
    EnumProcessesFn enumProcesses = nullptr;
    EnumProcessModulesFn enumModules = nullptr;
    GetModuleFileNameExFn moduleFileName = nullptr;
    SnapshotFn snapshot = nullptr;
    ProcessWalkFn first = nullptr;
    ProcessWalkFn next = nullptr;
};
ProcessApi g_api;

bool IsNtFamily() {
    static const bool nt = [] {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }();
    return nt;
}

bool LoadApi() {
    if (g_api.loaded) return true;
    g_api.nt = IsNtFamily();
    if (g_api.nt) {
        g_api.psapi = LoadLibraryA("PSAPI.DLL");
        g_api.enumProcesses = GetProc<EnumProcessesFn>(g_api.psapi, "EnumProcesses");
        g_api.enumModules = GetProc<EnumProcessModulesFn>(g_api.psapi, "EnumProcessModules");
        g_api.moduleFileName = GetProc<GetModuleFileNameExFn>(g_api.psapi, "GetModuleFileNameExA");
        if (!g_api.enumProcesses || !g_api.enumModules || !g_api.moduleFileName) {
            if (g_api.psapi) FreeLibrary(g_api.psapi);
            g_api = ProcessApi();
            return false;
        }
    } else {
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        if (!kernel) kernel = LoadLibraryA("KERNEL32.DLL");
        g_api.snapshot = GetProc<SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
        g_api.first = GetProc<ProcessWalkFn>(kernel, "Process32First");
        g_api.next = GetProc<ProcessWalkFn>(kernel, "Process32Next");
        if (!g_api.snapshot || !g_api.first || !g_api.next || !GetProcAddress(kernel, "Module32First") ||
            !GetProcAddress(kernel, "Module32Next"))
            return false;
    }
    g_api.loaded = true;
    return true;
}

}  // namespace

void SetModuleWalk(BOOL(WINAPI* walk)(HANDLE, HMODULE*, DWORD, DWORD*)) { g_moduleWalk = walk; }

ProcessInfo::ProcessInfo() : currentId_(GetCurrentProcessId()) {}

ProcessInfo::~ProcessInfo() {
    if (g_api.psapi) FreeLibrary(g_api.psapi);
    g_api = ProcessApi();
}

bool ProcessInfo::GetCurrentName(std::string& name) const {
    char path[MAX_PATH] = {};
    if (currentId_ == GetCurrentProcessId()) {
        if (GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return false;
        name = path;
        return true;
    }
    if (!g_api.loaded) return false;
    if (g_api.nt) {
        HANDLE process = OpenProcess(kQueryAccess, FALSE, currentId_);
        bool found = false;
        if (process) {
            HMODULE modules[kIdBufferBytes / sizeof(HMODULE)];
            DWORD needed = 0;
            EnumProcessModulesFn walk = g_moduleWalk ? g_moduleWalk : g_api.enumModules;
            if (walk(process, modules, sizeof(modules), &needed) && needed >= sizeof(HMODULE) &&
                g_api.moduleFileName(process, modules[0], path, MAX_PATH) > 0) {
                name = path;
                found = true;
            }
            CloseHandle(process);
        }
        if (found || QueryImageName(currentId_, name)) return true;
        if (currentId_ == 0) {
            name = "System Idle Process";
            return true;
        }
        if (currentId_ == 2 || currentId_ == 8) {
            name = "System";
            return true;
        }
        return false;
    }
    HANDLE snapshot = g_api.snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = g_api.first(snapshot, &entry); more && !found; more = g_api.next(snapshot, &entry))
        if (entry.th32ProcessID == currentId_) {
            name = entry.szExeFile;
            found = true;
        }
    CloseHandle(snapshot);
    return found;
}

ProcessList::ProcessList() { currentId_ = static_cast<DWORD>(-1); }

ProcessList::~ProcessList() { ids_.clear(); }

bool ProcessList::TakeSnapshot() {
    ids_.clear();
    valid_ = false;
    cursor_ = -1;
    currentId_ = static_cast<DWORD>(-1);
    if (!LoadApi()) return false;
    if (g_api.nt) {
        DWORD ids[kIdBufferBytes / sizeof(DWORD)];
        DWORD bytes = 0;
        if (!g_api.enumProcesses(ids, sizeof(ids), &bytes)) return false;
        ids_.assign(ids, ids + bytes / sizeof(DWORD));
    } else {
        HANDLE snapshot = g_api.snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return false;
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = g_api.first(snapshot, &entry); more; more = g_api.next(snapshot, &entry))
            ids_.push_back(entry.th32ProcessID);
        CloseHandle(snapshot);
    }
    if (ids_.empty()) return false;
    valid_ = true;
    cursor_ = 0;
    currentId_ = ids_[0];
    return true;
}

bool ProcessList::Next(int n) {
    if (!valid_) return false;
    if (n == 0) return true;
    if (cursor_ + n >= static_cast<int>(ids_.size()) || cursor_ + n < 0) return false;
    cursor_ += n;
    currentId_ = ids_[cursor_];
    return true;
}
