#include "base/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/FileHandle.h"
#include "base/Text.h"
#include "tests/support/TempFolder.h"

class ListFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("a.avi", "a");
        folder.Write("b.mp3", "b");
        std::string hidden = folder.Write("hidden.avi", "h");
        SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
        CreateDirectoryA((folder / "sub").c_str(), nullptr);
        folder.Write("sub\\c.avi", "c");
        CreateDirectoryA((folder / "secret").c_str(), nullptr);
        SetFileAttributesA((folder / "secret").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
        folder.Write("secret\\d.avi", "d");
    }

    std::vector<std::string> List(const char* pattern, bool recurse, bool directories, int* count = nullptr) {
        std::vector<std::string> list;
        int added = ListFolder(folder.Path(), pattern, list, recurse, directories);
        if (count) *count = added;
        std::sort(list.begin(), list.end());
        return list;
    }

    TempFolder folder;
};

TEST_F(ListFolderTest, FilesOnlySkipsHiddenEntriesAndSubfolders) {
    int count = 0;
    auto list = List("*", false, false, &count);
    EXPECT_EQ(2, count);
    EXPECT_EQ((std::vector<std::string>{folder / "a.avi", folder / "b.mp3"}), list);
}

TEST_F(ListFolderTest, RecursionEntersVisibleSubfoldersOnly) {
    auto list = List("*", true, false);
    EXPECT_EQ((std::vector<std::string>{folder / "a.avi", folder / "b.mp3", folder / "sub\\c.avi"}), list);
}

TEST_F(ListFolderTest, DirectoriesListsFoldersWithoutDotEntries) {
    EXPECT_EQ((std::vector<std::string>{folder / "sub"}), List("*", false, true));
}

TEST_F(ListFolderTest, PatternAndMissingFolder) {
    EXPECT_EQ((std::vector<std::string>{folder / "a.avi"}), List("*.avi", false, false));
    std::vector<std::string> list;
    EXPECT_EQ(0, ListFolder(folder / "nowhere", "*", list, true, false));
    EXPECT_TRUE(list.empty());
}

TEST(Files, TimesExistenceAndTempFiles) {
    TempFolder folder;
    std::string path = folder.Write("t.bin", "x");
    EXPECT_TRUE(FileExists(path.c_str()));
    EXPECT_FALSE(FileExists((folder / "none").c_str()));

    FILETIME set = {0x12345678, 0x01D00000};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFileTime(file, nullptr, nullptr, &set);
    CloseHandle(file);
    FILETIME read = GetFileLastWriteTime(path.c_str());
    EXPECT_EQ(0, CompareFileTime(&set, &read));
    FILETIME none = GetFileLastWriteTime((folder / "none").c_str());
    EXPECT_EQ(0u, none.dwLowDateTime | none.dwHighDateTime);

    std::string temp = MakeTempFileName("rbx");
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(FileExists(temp.c_str()));
    EXPECT_EQ(0u, temp.find(GetTempFolder()));
    DeleteFileA(temp.c_str());
}

TEST(FileHandle, ReadsToEofAndReportsSizes) {
    TempFolder folder;
    std::string path = folder.Write("data.bin", "0123456789");
    FileHandle file;
    EXPECT_EQ(-1, file.Close());
    ASSERT_TRUE(file.Open(path.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(10u, file.GetSize());
    EXPECT_EQ(10, file.GetSize64());

    char buffer[16];
    DWORD got = 0;
    EXPECT_TRUE(file.Seek(4, FILE_BEGIN));
    EXPECT_TRUE(file.Read(buffer, sizeof(buffer), &got));  // a short read succeeds
    EXPECT_EQ(6u, got);
    EXPECT_FALSE(file.IsEof());
    EXPECT_TRUE(file.Read(buffer, sizeof(buffer), &got));
    EXPECT_EQ(0u, got);
    EXPECT_TRUE(file.IsEof());
    EXPECT_EQ(10, file.Tell64());
    EXPECT_TRUE(file.Seek64(2, 0, FILE_BEGIN));
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(2u, file.Tell());
    EXPECT_NE(-1, file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Open((folder / "none").c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0));
}

TEST(Text, AnsiToWideCapacities) {
    wchar_t buffer[300];
    EXPECT_EQ(6, AnsiToWide("a.avi", buffer, 0));
    EXPECT_STREQ(L"a.avi", buffer);
    buffer[0] = L'x';
    EXPECT_EQ(0, AnsiToWide("a.avi", buffer, -5));
    EXPECT_EQ(L'x', buffer[0]);
    EXPECT_EQ(0, AnsiToWide("a.avi", buffer, 3));  // too small: nothing claimed
}
