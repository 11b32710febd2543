// What the player's WM_COPYDATA blocks become, however they are cut.
#include "tests/support/NavigatorFixture.h"

#include "base/Files.h"
#include "tests/support/TempFolder.h"

namespace {

// Bytes placed right before an inaccessible page, so that any read past them faults.
class GuardedBlock {
public:
    explicit GuardedBlock(const std::string& bytes) : size_(bytes.size()) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        DWORD page = info.dwPageSize, old;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        VirtualProtect(base_ + page, page, PAGE_NOACCESS, &old);
        data_ = static_cast<char*>(memcpy(base_ + page - size_, bytes.data(), size_));
    }
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    // `sized`: cbData says how long the block is; otherwise it is left at 0.
    LRESULT SendTo(HWND window, ULONG_PTR code, bool sized = true) const {
        COPYDATASTRUCT copy = {code, sized ? static_cast<DWORD>(size_) : 0, data_};
        return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    }

private:
    size_t size_;
    char* base_;
    char* data_;
};

}  // namespace

using CopyData = NavigatorFixture;

// cbData bounds a block without terminators; with cbData 0 the data are read to their terminators,
// or, from a broken player that leaves them out, to the end of the memory that holds them. Empty
// blocks, a block that begins with a zero and a record without data are empty lists; an empty token
// ends a list, and a missing last token is empty.
TEST_F(CopyData, BlocksEndAtTheirSizeTheirTerminatorsOrTheMemory) {
    Start();
    const std::string tracks("D:\\a.avi\0A\0Q\0D:\\b.mp3\0B\0Q\0\0", 27);
    for (unsigned size : {25u, 27u})
        for (bool sized : {true, false}) {
            SCOPED_TRACE(::testing::Message() << size << " bytes, " << (sized ? "sized" : "cbData 0"));
            SendTracks(1);
            GuardedBlock(tracks.substr(0, size)).SendTo(Window(), kCopyTrackList, sized);
            ASSERT_EQ(2u, nav.List().Entries().size());
            EXPECT_EQ("D:\\b.mp3", nav.List().Entries()[1].path);
            EXPECT_EQ("Q", nav.List().Entries()[1].qualifier);
            EXPECT_EQ(KindAudio, nav.List().Entries()[1].kind);
        }
    GuardedBlock(std::string("key\0Name\0Qual", 13)).SendTo(Window(), kCopyListHeader);
    EXPECT_EQ("Qual / Name", nav.List().Title());
    for (bool sized : {true, false}) GuardedBlock(std::string("key", 3)).SendTo(Window(), kCopyListChanged, sized);

    char leadingZero[] = "\0D:\\a.avi\0A\0Q\0";
    const COPYDATASTRUCT empties[] = {
        {kCopyTrackList, 0, nullptr},                        // an empty block
        {kCopyTrackList, sizeof(leadingZero), leadingZero},  // a block that begins with a zero
        {kCopyTrackList, 100, nullptr},                      // a size but no data
    };
    for (const COPYDATASTRUCT& empty : empties) {
        SendTracks(3);
        SendMessageA(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty));
        EXPECT_TRUE(nav.List().Entries().empty()) << empty.cbData;
    }
    SendMessageA(Window(), WM_COPYDATA, 0, 0);  // no record at all
    SendCopyData(Window(), kCopyTrackList, std::string("D:\\a.avi\0A\0\0D:\\c.avi\0C\0Q\0\0", 26));
    ASSERT_EQ(1u, nav.List().Entries().size());
    EXPECT_EQ("A", nav.List().Entries()[0].name);
    EXPECT_EQ("", nav.List().Entries()[0].qualifier);
}
