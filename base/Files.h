// File times, existence, folder listings and temporary files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Creation, access and write times, each optional; false when the file cannot be opened.
bool GetFileTimes(const char* path, FILETIME* creation, FILETIME* access, FILETIME* write);
// The last-write time, or 0 when the file cannot be opened.
FILETIME GetFileLastWriteTime(const char* path);
bool FileExists(const char* path);

struct FolderEntry {
    std::string path;
    FILETIME lastWrite;
};

// Adds the full paths of the entries of `folder` matching `pattern` to `list`: files, or with
// `directories` the subfolders instead. Hidden, system and temporary entries are skipped; with
// `recurse` subfolders are listed the same way. Returns the number of entries added, in the
// order the system gives them.
int ListFolder(const std::string& folder, const std::string& pattern, std::vector<std::string>& list,
               bool recurse, bool directories);
// The same listing with each entry's last-write time as the folder reports it.
int ListFolder(const std::string& folder, const std::string& pattern, std::vector<FolderEntry>& list, bool recurse,
               bool directories);

// The temporary folder, ending in a separator.
std::string GetTempFolder();
// Creates an empty file with a unique name there; the empty string on failure.
std::string MakeTempFileName(const char* prefix);
