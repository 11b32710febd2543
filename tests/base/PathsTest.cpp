#include "base/Paths.h"

#include <gtest/gtest.h>

// A case of a path operation, named by its call.
#define CASE(call, want) {#call, call, want}

TEST(Paths, JoinSplitSeparatorsAndExtensions) {
    const struct { const char* call; std::string got, want; } strings[] = {
        // One separator at the seam: the path's own kind, else the part's, else a backslash.
        CASE(AppendPath("D:\\m\\", "a.avi"), "D:\\m\\a.avi"), CASE(AppendPath("D:\\m", "a.avi"), "D:\\m\\a.avi"),
        CASE(AppendPath("D:\\m\\", "\\a.avi"), "D:\\m\\a.avi"), CASE(AppendPath("D:/m", "a.avi"), "D:/m/a.avi"),
        CASE(AppendPath("", "a.avi"), "a.avi"), CASE(AppendPath("m", "sub/a.avi"), "m/sub/a.avi"),
        CASE(AppendPath("http://host/d", "a.avi"), "http://host/d/a.avi"), CASE(AppendPath("m", "a.avi"), "m\\a.avi"),
        CASE(GetExtension("http://host/a.mp3"), ".mp3"), CASE(GetExtension("D:\\my.dir\\file"), ""),
        CASE(ChangeExtension("D:\\c.avi", ".THM"), "D:\\c.THM"), CASE(ChangeExtension("D:\\c", "THM"), "D:\\c.THM"),
        CASE(GetFileNamePart("D:\\my.dir\\file", false), "file"), CASE(GetFileNamePart("D:\\m\\a.avi", true), "a.avi"),
    };
    for (const auto& c : strings) EXPECT_EQ(c.want, c.got) << c.call;
    const struct { const char* call; long got, want; } numbers[] = {
        // The slashes of "://" separate no folders; the last backslash wins over a later slash.
        CASE(FindLastSeparator("http://host"), -1), CASE(FindLastSeparator("http://host/a.mp3"), 11),
        CASE(FindLastSeparator("D:\\a\\b/c"), 4), CASE(GetSeparator("http://h"), '/'), CASE(GetSeparator("a"), '\\'),
        CASE(IsUrl("mms://x/y"), true), CASE(IsUrl("D:\\x"), false), CASE(FindExtension("http://w.host"), -1),
        // Whole entries only, whatever the letter case; a lone dot is no extension.
        CASE(HasListedExtension("x.RM", ".rmi;.rm;"), true), CASE(HasListedExtension("x.rmi", ".rm;"), false),
        CASE(HasListedExtension("D:\\a.avi\\f", ".avi;"), false), CASE(HasListedExtension("x.", ".avi;"), false),
    };
    for (const auto& c : numbers) EXPECT_EQ(c.want, c.got) << c.call;
    // Of a search list, only absolute folders count (quotes taken off): never a relative one, a
    // rooted one without its drive, or one relative to a drive's current folder.
    EXPECT_EQ((std::vector<std::string>{"C:\\bin", "\\\\server\\share", "D:/my tools"}),
              AbsoluteEntries("C:\\bin;;bin;.\\x;\\\\server\\share;\\rooted;C:drive;\"D:/my tools\""));
}
