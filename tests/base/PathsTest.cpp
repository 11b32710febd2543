#include "base/Paths.h"

#include <gtest/gtest.h>

TEST(AppendPath, JoinsWithExactlyOneSeparator) {
    EXPECT_EQ("D:\\Music\\a.avi", AppendPath("D:\\Music\\", "a.avi"));
    EXPECT_EQ("D:\\Music\\a.avi", AppendPath("D:\\Music", "a.avi"));
    EXPECT_EQ("D:\\Music\\a.avi", AppendPath("D:\\Music\\", "\\a.avi"));
    EXPECT_EQ("D:\\Music\\a.avi", AppendPath("D:\\Music", "\\a.avi"));
}

TEST(AppendPath, UsesThePathsOwnSeparator) {
    EXPECT_EQ("D:/Music/a.avi", AppendPath("D:/Music", "a.avi"));
    EXPECT_EQ("http://host/dir/a.avi", AppendPath("http://host/dir", "a.avi"));
    // Only the part has a separator: its kind is used.
    EXPECT_EQ("Music/sub/a.avi", AppendPath("Music", "sub/a.avi"));
    EXPECT_EQ("Music\\a.avi", AppendPath("Music", "a.avi"));
    // Nothing to join onto: no leading separator appears.
    EXPECT_EQ("a.avi", AppendPath("", "a.avi"));
    EXPECT_EQ("D:\\Music\\", AppendPath("D:\\Music", ""));
}

TEST(AppendPath, InPlaceRefusesWhatDoesNotFit) {
    char buffer[16] = "D:\\Music";
    EXPECT_TRUE(AppendPath(buffer, sizeof(buffer), "a.avi"));
    EXPECT_STREQ("D:\\Music\\a.avi", buffer);
    EXPECT_FALSE(AppendPath(buffer, sizeof(buffer), "b.avi"));
    EXPECT_STREQ("D:\\Music\\a.avi", buffer);
}

TEST(Separators, SchemeSlashesDoNotSeparateFolders) {
    EXPECT_EQ(-1, FindLastSeparator("http://host"));
    EXPECT_EQ(11, FindLastSeparator("http://host/a.mp3"));
    EXPECT_EQ(4, FindLastSeparator("D:\\a\\b/c.avi"));  // the last backslash wins over a later slash
    EXPECT_EQ(-1, FindLastSeparator("a.avi"));
    EXPECT_EQ('/', GetSeparator("http://host"));
    EXPECT_EQ('\\', GetSeparator("a.avi"));
    EXPECT_TRUE(IsUrl("mms://x/y"));
    EXPECT_FALSE(IsUrl("D:\\x"));
}

TEST(Extensions, OnlyAfterTheLastSeparator) {
    EXPECT_EQ(-1, FindExtension("D:\\my.dir\\file"));
    EXPECT_EQ(-1, FindExtension("http://www.host"));
    EXPECT_EQ(1, FindExtension("a.avi"));
    EXPECT_EQ(".mp3", GetExtension("http://host/a.mp3"));
    EXPECT_EQ("", GetExtension("D:\\my.dir\\file"));
    EXPECT_EQ("D:\\v\\clip.THM", ChangeExtension("D:\\v\\clip.avi", ".THM"));
    EXPECT_EQ("D:\\v\\clip.THM", ChangeExtension("D:\\v\\clip", "THM"));
    EXPECT_EQ("D:\\my.dir\\file.smi", ChangeExtension("D:\\my.dir\\file", ".smi"));
}

TEST(FolderAndName, SplitAtTheLastSeparator) {
    EXPECT_EQ("D:\\Music\\", GetFolderPart("D:\\Music\\a.avi"));
    EXPECT_EQ("", GetFolderPart("a.avi"));
    EXPECT_EQ("a", GetFileNamePart("D:\\Music\\a.avi", false));
    EXPECT_EQ("a.avi", GetFileNamePart("D:\\Music\\a.avi", true));
    EXPECT_EQ("file", GetFileNamePart("D:\\my.dir\\file", false));
    char buffer[] = "D:\\Music\\a.avi";
    CutToFolderPart(buffer);
    EXPECT_STREQ("D:\\Music\\", buffer);
}

TEST(HasListedExtension, MatchesWholeEntriesCaseInsensitively) {
    EXPECT_TRUE(HasListedExtension("x.RM", ".rmi;.rm;"));
    EXPECT_FALSE(HasListedExtension("x.rm", ".rmi;"));
    EXPECT_FALSE(HasListedExtension("x.rmi", ".rm;"));
    EXPECT_FALSE(HasListedExtension("D:\\my.avi\\file", ".avi;"));
    EXPECT_FALSE(HasListedExtension("noextension", ".avi;"));
    EXPECT_FALSE(HasListedExtension("x.", ".avi;"));  // a lone dot is no listed extension
    EXPECT_TRUE(HasListedExtension("x.M4V", ".avi;.m4v;"));
}
