#include "tests/support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

TempFolder::TempFolder() {
    static unsigned counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = base + ("rembrix-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
    std::string full = *this / name;
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
