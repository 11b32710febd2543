// Folder listings, file times, temporary files, file handles and text conversion on a real disk.
#include "base/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/FileHandle.h"
#include "base/Text.h"
#include "tests/support/TempFolder.h"

TEST(ListFolder, SkipsHiddenEntriesAndAddsToTheList) {
    TempFolder folder;  // two visible files, a hidden one, a visible and a hidden subfolder
    for (const char* sub : {"sub", "secret"}) CreateDirectoryA((folder / sub).c_str(), nullptr);
    for (const char* name : {"a.avi", "b.mp3", "hidden.avi", "sub\\c.avi", "secret\\d.avi"}) folder.Write(name, name);
    for (const char* h : {"hidden.avi", "secret"}) SetFileAttributesA((folder / h).c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct { const char *pattern, *under; bool recurse, directories; std::vector<const char*> want; } cases[] = {
        {"*", nullptr, false, false, {"a.avi", "b.mp3"}},
        {"*", nullptr, true, false, {"a.avi", "b.mp3", "sub\\c.avi"}},
        {"*", nullptr, false, true, {"sub"}},  // no "." nor ".."
        {"*", nullptr, true, true, {"sub"}},
        {"*.avi", nullptr, false, false, {"a.avi"}},
        {"*", "nowhere", true, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pattern << (c.under ? " in a missing folder" : "")
                                        << (c.recurse ? ", recursive" : "") << (c.directories ? ", folders" : ""));
        std::vector<std::string> list = {"earlier"}, want = {"earlier"};
        int added = ListFolder(c.under ? folder / c.under : folder.Path(), c.pattern, list, c.recurse, c.directories);
        for (const char* name : c.want) want.push_back(folder / name);
        std::sort(list.begin() + 1, list.end());  // the system's order is not promised
        EXPECT_EQ(static_cast<int>(c.want.size()), added);
        EXPECT_EQ(want, list);
    }
}

TEST(Files, TimesExistenceAndTempFiles) {
    TempFolder folder;
    std::string path = folder.Write("t.bin", "x"), none = folder / "none";
    FILETIME set = {0x12345678, 0x01D00000};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &set);
    CloseHandle(file);
    FILETIME read = GetFileLastWriteTime(path.c_str()), missing = GetFileLastWriteTime(none.c_str());
    EXPECT_EQ(0, CompareFileTime(&set, &read));
    EXPECT_EQ(0u, missing.dwLowDateTime | missing.dwHighDateTime);
    EXPECT_TRUE(FileExists(path.c_str()) && !FileExists(none.c_str()));
    std::string temp = MakeTempFileName("rbx");
    EXPECT_TRUE(FileExists(temp.c_str()) && temp.find(GetTempFolder()) == 0) << temp;
    DeleteFileA(temp.c_str());
}

TEST(FileHandle, ShortAndEmptyReadsSucceedAndOnlyTheEmptyOneIsTheEnd) {
    TempFolder folder;
    FileHandle file;
    EXPECT_EQ(-1, file.Close());
    EXPECT_FALSE(file.Open((folder / "none").c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0));
    std::string path = folder.Write("d.bin", "0123456789");
    ASSERT_TRUE(file.Open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(file.GetSize() == 10 && file.GetSize64() == 10);
    char buffer[16];
    DWORD got = 0;
    EXPECT_TRUE(file.Seek(4, FILE_BEGIN) && file.Read(buffer, sizeof(buffer), &got) && got == 6 && !file.IsEof());
    EXPECT_TRUE(file.Read(buffer, sizeof(buffer), &got) && got == 0 && file.IsEof() && file.Tell64() == 10);
    EXPECT_TRUE(file.Seek64(2, 0, FILE_BEGIN) && !file.IsEof() && file.Tell() == 2);  // a seek clears the end
    EXPECT_TRUE(file.Close() != -1 && !file.IsOpen());
}

TEST(Text, AnsiToWideCapacities) {
    wchar_t buffer[300] = {L'x'};
    EXPECT_TRUE(AnsiToWide("a.avi", buffer, -5) == 0 && buffer[0] == L'x');  // a negative capacity writes nothing
    EXPECT_EQ(0, AnsiToWide("a.avi", buffer, 3));                             // too small: nothing claimed
    EXPECT_EQ(6, AnsiToWide("a.avi", buffer, 0));  // 0 means 260
    EXPECT_STREQ(L"a.avi", buffer);
}
