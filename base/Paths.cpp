#include "base/Paths.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool CopyIfFits(char* buffer, size_t capacity, const std::string& text) {
    if (text.size() + 1 > capacity) return false;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

int FindLastSeparator(const char* path) {
    if (const char* back = strrchr(path, '\\')) return static_cast<int>(back - path);
    const char* slash = strrchr(path, '/');
    if (!slash) return -1;
    // "http://host": the slashes of the scheme do not separate folders.
    if (slash - path >= 2 && slash[-1] == '/' && slash[-2] == ':') return -1;
    return static_cast<int>(slash - path);
}

bool IsUrl(const char* path) { return strstr(path, "://") != nullptr; }

char GetSeparator(const char* path) {
    int at = FindLastSeparator(path);
    if (at >= 0) return path[at];
    return IsUrl(path) ? '/' : '\\';
}

int FindExtension(const char* path) {
    const char* dot = strrchr(path, '.');
    if (!dot) return -1;
    int at = static_cast<int>(dot - path);
    int separator = FindLastSeparator(path);
    if (separator >= 0) return at > separator ? at : -1;
    return IsUrl(path) ? -1 : at;
}

std::string GetFolderPart(const std::string& path) {
    int at = FindLastSeparator(path.c_str());
    return at < 0 ? std::string() : path.substr(0, at + 1);
}

std::string GetFileNamePart(const std::string& path, bool withExtension) {
    int start = FindLastSeparator(path.c_str()) + 1;
    int end = withExtension ? -1 : FindExtension(path.c_str());
    if (end < 0) return path.substr(start);
    return path.substr(start, end - start);
}

std::string GetExtension(const std::string& path) {
    int at = FindExtension(path.c_str());
    return at < 0 ? std::string() : path.substr(at);
}

std::string ChangeExtension(const std::string& path, const std::string& extension) {
    int at = FindExtension(path.c_str());
    std::string result = at < 0 ? path : path.substr(0, at);
    if (extension.empty() || extension[0] != '.') result += '.';
    return result + extension;
}

std::string AppendPath(const std::string& path, const std::string& part) {
    int seam = 0;
    if (!path.empty() && IsSeparator(path.back())) ++seam;
    if (!part.empty() && IsSeparator(part[0])) ++seam;

    std::string result = path;
    if (seam == 0) {
        char separator = '\\';
        if (FindLastSeparator(path.c_str()) >= 0)
            separator = GetSeparator(path.c_str());
        else if (FindLastSeparator(part.c_str()) >= 0)
            separator = GetSeparator(part.c_str());
        if (!result.empty()) result += separator;
    } else if (seam == 2) {
        result.pop_back();
    }
    return result + part;
}

bool CutToFolderPart(char* path) {
    int at = FindLastSeparator(path);
    path[at + 1] = '\0';
    return true;
}

bool ChangeExtension(char* path, size_t capacity, const char* extension) {
    return CopyIfFits(path, capacity, ChangeExtension(std::string(path), std::string(extension)));
}

bool AppendPath(char* path, size_t capacity, const char* part) {
    return CopyIfFits(path, capacity, AppendPath(std::string(path), std::string(part)));
}

bool HasListedExtension(const char* path, const char* list) {
    std::string extension = GetExtension(path);
    if (extension.empty()) return false;
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');

    const char* entry = list;
    while (*entry) {
        const char* end = strchr(entry, ';');
        size_t length = end ? static_cast<size_t>(end - entry) : strlen(entry);
        if (length == extension.size() && memcmp(entry, extension.data(), length) == 0) return true;
        if (!end) break;
        entry = end + 1;
    }
    return false;
}

bool IsAbsolutePath(const std::string& path) {
    bool drive = path.size() >= 3 && isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                 IsSeparator(path[2]);
    bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
    return drive || share;
}

std::vector<std::string> AbsoluteEntries(const std::string& list) {
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        entry.erase(std::remove(entry.begin(), entry.end(), '"'), entry.end());
        if (IsAbsolutePath(entry)) folders.push_back(entry);
        start = end + 1;
    }
    return folders;
}
