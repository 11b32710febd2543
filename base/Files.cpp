#include "base/Files.h"

#include <io.h>

#include "base/Paths.h"

namespace {
constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
}  // namespace

bool GetFileTimes(const char* path, FILETIME* creation, FILETIME* access, FILETIME* write) {
    // Shared for deletion too: a look at a media file never stands in the way of the user's delete.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BOOL ok = GetFileTime(file, creation, access, write);
    CloseHandle(file);
    return ok != FALSE;
}

FILETIME GetFileLastWriteTime(const char* path) {
    FILETIME write = {};
    if (!GetFileTimes(path, nullptr, nullptr, &write)) write = FILETIME{};
    return write;
}

bool FileExists(const char* path) { return _access(path, 0) == 0; }

int ListFolder(const std::string& folder, const std::string& pattern, std::vector<FolderEntry>& list, bool recurse,
               bool directories) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(AppendPath(folder, pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;

    int added = 0;
    do {
        if (found.dwFileAttributes & kSkippedAttributes) continue;
        std::string full = AppendPath(folder, found.cFileName);
        // A long name the ANSI code page cannot hold comes back mangled; its 8.3 name still opens.
        if (!FileExists(full.c_str()) && found.cAlternateFileName[0])
            full = AppendPath(folder, found.cAlternateFileName);

        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
            if (directories) {
                list.push_back({full, found.ftLastWriteTime});
                ++added;
            }
            if (recurse) added += ListFolder(full, pattern, list, recurse, directories);
        } else if (!directories) {
            list.push_back({std::move(full), found.ftLastWriteTime});
            ++added;
        }
    } while (FindNextFileA(find, &found) || GetLastError() == ERROR_MORE_DATA);
    FindClose(find);
    return added;
}

int ListFolder(const std::string& folder, const std::string& pattern, std::vector<std::string>& list,
               bool recurse, bool directories) {
    std::vector<FolderEntry> entries;
    int added = ListFolder(folder, pattern, entries, recurse, directories);
    for (FolderEntry& entry : entries) list.push_back(std::move(entry.path));
    return added;
}

std::string GetTempFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    if (length == 0 || length > MAX_PATH) return std::string();
    std::string folder(buffer, length);
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string MakeTempFileName(const char* prefix) {
    char buffer[MAX_PATH] = {};
    if (!GetTempFileNameA(GetTempFolder().c_str(), prefix, 0, buffer)) return std::string();
    return buffer;
}
