// Folder listings on a real disk.
#include "base/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TempFolder.h"

TEST(ListFolder, SkipsHiddenEntriesAndAddsToTheList) {
    TempFolder folder;  // two visible files, a hidden one, a visible and a hidden subfolder
    for (const char* sub : {"sub", "secret"}) CreateDirectoryA((folder / sub).c_str(), nullptr);
    for (const char* name : {"a.avi", "b.mp3", "hidden.avi", "sub\\c.avi", "secret\\d.avi"}) folder.Write(name, name);
    for (const char* h : {"hidden.avi", "secret"}) SetFileAttributesA((folder / h).c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct { const char *pattern, *under; bool recurse, directories; std::vector<const char*> want; } cases[] = {
        {"*.avi", "", false, false, {"a.avi"}},
        {"*", "", true, false, {"a.avi", "b.mp3", "sub\\c.avi"}},
        {"*", "", false, true, {"sub"}},  // no "." nor ".."
        {"*", "nowhere", true, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pattern << " in \"" << c.under << "\" " << c.recurse << c.directories);
        std::vector<std::string> list = {"earlier"}, want = {"earlier"};
        int added = ListFolder(*c.under ? folder / c.under : folder.Path(), c.pattern, list, c.recurse, c.directories);
        for (const char* name : c.want) want.push_back(folder / name);
        std::sort(list.begin() + 1, list.end());  // the system's order is not promised
        EXPECT_EQ(std::make_pair(static_cast<int>(c.want.size()), want), std::make_pair(added, list));
    }
}
