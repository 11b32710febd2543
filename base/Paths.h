// Path and extension operations on Windows paths and URLs. Pure byte logic: no <windows.h>,
// so it also builds natively for sanitizers and fuzzers.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

// Index of the last backslash; failing that, of the last slash unless it is the second slash
// of "://". -1 when there is none.
int FindLastSeparator(const char* path);
// The path's own separator; for one without any, '/' in a URL, else '\\'.
char GetSeparator(const char* path);
bool IsUrl(const char* path);
// Index of the extension's dot, only when it follows the last separator; -1 otherwise.
int FindExtension(const char* path);

std::string GetFolderPart(const std::string& path);  // with its trailing separator
std::string GetFileNamePart(const std::string& path, bool withExtension);
std::string GetExtension(const std::string& path);  // with its dot
std::string ChangeExtension(const std::string& path, const std::string& extension);
std::string AppendPath(const std::string& path, const std::string& part);  // one separator at the seam

// In-place forms on a caller's buffer of `capacity` bytes, terminator included. They return
// false, leaving the buffer as it was, when the result would not fit.
bool CutToFolderPart(char* path);  // GetFolderPart in place
bool ChangeExtension(char* path, size_t capacity, const char* extension);
bool AppendPath(char* path, size_t capacity, const char* part);

// True when the file name's extension is `extension` (lower case, with its dot), in any case. Inline,
// so that the byte sniffers that use it stay free of further sources.
inline bool HasExtension(const char* path, const char* extension) {
    const char* dot = strrchr(path, '.');
    if (!dot || strchr(dot, '\\') || strchr(dot, '/')) return false;
    for (size_t i = 0;; ++i) {
        char a = dot[i], b = extension[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != b) return false;
        if (!a) return true;
    }
}

// True when the lower-cased extension of `path` is one of the entries of `list`, which holds
// lower-case extensions with their dots, each followed by ';' (".avi;.mpg;").
bool HasListedExtension(const char* path, const char* list);

// A path that names the same place whatever the current drive and folder: "X:\\..." or "\\\\server\\share...".
bool IsAbsolutePath(const std::string& path);
// The absolute folders of a search list such as PATH (entries separated by ';', each perhaps in
// quotes), in order; relative and empty entries are left out.
std::vector<std::string> AbsoluteEntries(const std::string& list);
