// A fresh folder under the temporary folder, removed with everything in it at the end of a test.
#pragma once

#include <windows.h>

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The full path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
    // Writes `bytes` to `name` (made with its folders' parents existing); returns the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
