// What the player's WM_COPYDATA blocks become, however they are cut.
#include "tests/support/NavigatorFixture.h"

#include <cstring>
#include <tuple>

namespace {

// Sends `bytes` placed right before an inaccessible page, so that any read past them faults.
// `sized`: cbData says how long the block is; otherwise it is left at 0.
void SendGuarded(HWND window, ULONG_PTR code, const std::string& bytes, bool sized = true) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    DWORD page = info.dwPageSize, old;
    char* base = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    VirtualProtect(base + page, page, PAGE_NOACCESS, &old);
    COPYDATASTRUCT copy = {code, sized ? static_cast<DWORD>(bytes.size()) : 0, base + page - bytes.size()};
    memcpy(copy.lpData, bytes.data(), bytes.size());
    SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    VirtualFree(base, 0, MEM_RELEASE);
}

}  // namespace

using CopyData = NavigatorFixture;

// cbData bounds a block without terminators; with cbData 0 the data are read to their terminators,
// or, from a broken player that leaves them out, to the end of the memory that holds them. A size
// without data is an empty list, and no record at all is ignored; an empty token ends a list, and
// a missing last token is empty.
TEST_F(CopyData, BlocksEndAtTheirSizeTheirTerminatorsOrTheMemory) {
    Start();
    const std::string tracks("D:\\a.avi\0A\0Q\0D:\\b.M4V\0B\0Q\0\0", 27);
    for (unsigned size : {25u, 27u})
        for (bool sized : {true, false}) {
            SCOPED_TRACE(::testing::Message() << size << " bytes, " << (sized ? "sized" : "cbData 0"));
            SendTracks(1);
            SendGuarded(Window(), kCopyTrackList, tracks.substr(0, size), sized);
            ASSERT_EQ(2u, nav.List().Entries().size());
            const NavigatorEntry& b = nav.List().Entries()[1];
            EXPECT_EQ(std::make_tuple("D:\\b.M4V", "Q", KindVideo), std::make_tuple(b.path, b.qualifier, b.kind));
        }
    SendGuarded(Window(), kCopyListHeader, std::string("key\0Name\0Qual", 13));
    EXPECT_EQ("Qual / Name", nav.List().Title());
    for (bool sized : {true, false}) SendGuarded(Window(), kCopyListChanged, "key", sized);

    SendTracks(3);
    const COPYDATASTRUCT noData = {kCopyTrackList, 100, nullptr};  // a size but no data
    SendMessageA(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&noData));
    EXPECT_TRUE(nav.List().Entries().empty());
    SendMessageA(Window(), WM_COPYDATA, 0, 0);  // no record at all
    SendCopyData(Window(), kCopyTrackList, std::string("D:\\a.avi\0A\0\0D:\\c.avi\0C\0Q\0\0", 26));
    ASSERT_EQ(1u, nav.List().Entries().size());
    const NavigatorEntry& a = nav.List().Entries()[0];
    EXPECT_EQ(std::make_tuple("A", ""), std::make_tuple(a.name, a.qualifier));
}
