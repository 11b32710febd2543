// The thumbnail cache's files on the system: Win32 file handles, the folder listing, and names
// compared as the ANSI code page compares them.
#include <windows.h>

#include <mbstring.h>

#include "base/FileHandle.h"
#include "base/Files.h"
#include "base/Text.h"
#include "thumbs/CacheFiles.h"
#include "thumbs/ThumbCache.h"

namespace {

// The key under which names are the same: folded as the ANSI code page folds them.
std::string FoldName(const char* name) {
    std::string folded(name);
    if (!folded.empty()) _mbslwr(reinterpret_cast<unsigned char*>(&folded[0]));
    return folded;
}

// Links are opened as themselves, never followed; whether the file is one is asked of the handle.
constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT;

class SystemStream : public CacheStream {
public:
    bool Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
        return file_.Open(path.c_str(), access, share, disposition, kOpenFlags);
    }
    int64_t Size() override { return file_.GetSize64(); }
    int64_t Tell() override { return file_.Tell64(); }
    bool Seek(int64_t offset) override {
        return offset >= 0 && file_.Seek64(static_cast<LONG>(offset & 0xFFFFFFFF), static_cast<LONG>(offset >> 32),
                                           FILE_BEGIN);
    }
    bool SeekEnd() override { return file_.Seek(0, FILE_END); }
    bool Read(void* buffer, size_t count, size_t* got) override {
        DWORD read = 0;
        bool ok = count <= 0xFFFFFFFF && file_.Read(buffer, static_cast<DWORD>(count), &read);
        *got = read;
        return ok;
    }
    bool Write(const void* data, size_t count) override {
        DWORD written = 0;
        return count <= 0xFFFFFFFF && file_.Write(data, static_cast<DWORD>(count), &written) && written == count;
    }
    bool Commit() override { return FlushFileBuffers(file_.Handle()) != FALSE; }
    CacheStamp Stamp() override {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(file_.Handle(), &info)) return CacheStamp();
        return {static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
                {info.ftLastWriteTime.dwLowDateTime, info.ftLastWriteTime.dwHighDateTime}};
    }
    bool Linked() override {
        BY_HANDLE_FILE_INFORMATION info;
        return !GetFileInformationByHandle(file_.Handle(), &info) ||
               (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1;
    }

private:
    FileHandle file_;
};

class SystemFiles : public CacheFiles {
public:
    std::unique_ptr<CacheStream> OpenWriter(const std::string& path, bool create) override {
        auto stream = std::make_unique<SystemStream>();
        if (!stream->Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                          create ? CREATE_NEW : OPEN_EXISTING))
            return nullptr;
        return stream;
    }
    std::unique_ptr<CacheStream> OpenReader(const std::string& path) override {
        auto stream = std::make_unique<SystemStream>();
        if (!stream->Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING))
            return nullptr;
        return stream;
    }
    void Delete(const std::string& path) override { DeleteFileA(path.c_str()); }
    bool Replace(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    std::vector<CacheListing> List(const std::string& folder) override {
        std::vector<FolderEntry> files;
        ListFolder(folder, "*.*", files, false, false);
        std::vector<CacheListing> listing;
        listing.reserve(files.size());
        for (const FolderEntry& f : files)
            listing.push_back({f.path, {f.lastWrite.dwLowDateTime, f.lastWrite.dwHighDateTime}});
        return listing;
    }
    CacheFileTime LastWrite(const std::string& path) override {
        FILETIME time = GetFileLastWriteTime(path.c_str());
        return {time.dwLowDateTime, time.dwHighDateTime};
    }
    std::string Fold(const std::string& name) override { return FoldName(name.c_str()); }
    bool Same(const std::string& a, const std::string& b) override { return SameName(a.c_str(), b.c_str()); }
};

}  // namespace

CacheFiles& SystemCacheFiles() {
    static SystemFiles files;
    return files;
}

