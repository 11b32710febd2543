#include "base/Paths.h"

#include <gtest/gtest.h>

// A case of a path operation, named by its call.
#define CASE(call, want) {#call, call, want}

TEST(Paths, JoinSplitSeparatorsAndExtensions) {
    const struct { const char* call; std::string got, want; } strings[] = {
        // One separator at the seam: the path's own kind, else the part's, else a backslash.
        CASE(AppendPath("D:\\Music\\", "a.avi"), "D:\\Music\\a.avi"),
        CASE(AppendPath("D:\\Music", "a.avi"), "D:\\Music\\a.avi"),
        CASE(AppendPath("D:\\Music\\", "\\a.avi"), "D:\\Music\\a.avi"),
        CASE(AppendPath("D:\\Music", "\\a.avi"), "D:\\Music\\a.avi"),
        CASE(AppendPath("D:/Music", "a.avi"), "D:/Music/a.avi"), CASE(AppendPath("", "a.avi"), "a.avi"),
        CASE(AppendPath("http://host/dir", "a.avi"), "http://host/dir/a.avi"),
        CASE(AppendPath("Music", "sub/a.avi"), "Music/sub/a.avi"), CASE(AppendPath("Music", "a.avi"), "Music\\a.avi"),
        CASE(AppendPath("D:\\Music", ""), "D:\\Music\\"), CASE(GetExtension("http://host/a.mp3"), ".mp3"),
        CASE(GetExtension("D:\\my.dir\\file"), ""), CASE(GetFileNamePart("D:\\my.dir\\file", false), "file"),
        CASE(ChangeExtension("D:\\v\\clip.avi", ".THM"), "D:\\v\\clip.THM"),
        CASE(ChangeExtension("D:\\v\\clip", "THM"), "D:\\v\\clip.THM"),
        CASE(ChangeExtension("D:\\my.dir\\file", ".smi"), "D:\\my.dir\\file.smi"),
        CASE(GetFolderPart("D:\\Music\\a.avi"), "D:\\Music\\"), CASE(GetFolderPart("a.avi"), ""),
        CASE(GetFileNamePart("D:\\Music\\a.avi", false), "a"), CASE(GetFileNamePart("D:\\Music\\a.avi", true), "a.avi"),
    };
    for (const auto& c : strings) EXPECT_EQ(c.want, c.got) << c.call;
    const struct { const char* call; long got, want; } numbers[] = {
        // The slashes of "://" separate no folders; the last backslash wins over a later slash.
        CASE(FindLastSeparator("http://host"), -1), CASE(FindLastSeparator("http://host/a.mp3"), 11),
        CASE(FindLastSeparator("D:\\a\\b/c.avi"), 4), CASE(FindLastSeparator("a.avi"), -1),
        CASE(GetSeparator("http://host"), '/'), CASE(GetSeparator("a.avi"), '\\'), CASE(IsUrl("mms://x/y"), true),
        CASE(IsUrl("D:\\x"), false), CASE(FindExtension("D:\\my.dir\\file"), -1),
        CASE(FindExtension("http://www.host"), -1), CASE(FindExtension("a.avi"), 1),
        // Whole entries only, whatever the letter case; a lone dot is no extension.
        CASE(HasListedExtension("x.RM", ".rmi;.rm;"), true), CASE(HasListedExtension("x.rm", ".rmi;"), false),
        CASE(HasListedExtension("x.rmi", ".rm;"), false), CASE(HasListedExtension("D:\\my.avi\\file", ".avi;"), false),
        CASE(HasListedExtension("noextension", ".avi;"), false), CASE(HasListedExtension("x.", ".avi;"), false),
    };
    for (const auto& c : numbers) EXPECT_EQ(c.want, c.got) << c.call;
    // Of a search list, only absolute folders count (quotes taken off): never a relative one, a
    // rooted one without its drive, or one relative to a drive's current folder.
    EXPECT_EQ((std::vector<std::string>{"C:\\bin", "\\\\server\\share", "D:/my tools"}),
              AbsoluteEntries("C:\\bin;;bin;.\\x;\\\\server\\share;\\rooted;C:drive;\"D:/my tools\""));
}
