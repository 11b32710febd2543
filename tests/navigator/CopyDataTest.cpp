// What the player's WM_COPYDATA blocks become, however they are cut.
#include "tests/navigator/NavigatorFixture.h"

#include "base/Files.h"
#include "navigator/TokenList.h"
#include "tests/support/TempFolder.h"

namespace {

// Bytes placed right before an inaccessible page, so that any read past them faults.
class GuardedBlock {
public:
    explicit GuardedBlock(const std::string& bytes) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        data_ = base_ + page_ - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    // `sized`: cbData says how long the block is; otherwise it is left at 0.
    LRESULT SendTo(HWND window, ULONG_PTR code, bool sized = true) const {
        COPYDATASTRUCT copy = {code, sized ? static_cast<DWORD>(size_) : 0, data_};
        return SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
    }

private:
    char* base_;
    char* data_;
    size_t size_;
    size_t page_;
};

}  // namespace

TEST(TokenList, StopsAtTheFirstEmptyTokenAndAtTheBlockEnd) {
    std::string middle("a\0b\0\0c\0\0", 8);
    TokenList list(middle.data(), middle.size());
    EXPECT_EQ(2u, list.Count());
    EXPECT_EQ("b", list[1]);
    EXPECT_EQ("", list[2]);  // beyond the end

    std::string cut("one\0tw", 6);
    TokenList unterminated(cut.data(), cut.size());
    EXPECT_EQ(2u, unterminated.Count());
    EXPECT_EQ("tw", unterminated[1]);

    EXPECT_EQ(0u, TokenList(nullptr, 10).Count());
    EXPECT_EQ(0u, TokenList("\0abc", 4).Count());
    EXPECT_EQ(0u, TokenList("abc", 0).Count());
    EXPECT_EQ("key", ParseKeyString("keyXYZ", 3));
    EXPECT_EQ("k", ParseKeyString("k\0rest", 6));
}

using CopyData = NavigatorFixture;

TEST_F(CopyData, UnterminatedBlocksEndAtTheirSize) {
    Start();
    GuardedBlock tracks(std::string("D:\\a.avi\0A\0Q\0D:\\b.mp3\0B\0Q", 25));  // no final terminators
    tracks.SendTo(Window(), kCopyTrackList);
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ("D:\\b.mp3", nav.entries[1].path);
    EXPECT_EQ("Q", nav.entries[1].qualifier);
    EXPECT_EQ(KindAudio, nav.entries[1].kind);

    GuardedBlock header(std::string("key\0Name\0Qual", 13));
    header.SendTo(Window(), kCopyListHeader);
    EXPECT_EQ("Qual / Name", nav.title);

    GuardedBlock key(std::string("key", 3));
    key.SendTo(Window(), kCopyListChanged);  // read to its end, no further
}

TEST_F(CopyData, WithoutASizeTheDataAreReadToTheirTerminatorsOrTheMemoryEnd) {
    Start();
    GuardedBlock terminated(std::string("D:\\a.avi\0A\0Q\0D:\\b.mp3\0B\0Q\0\0", 27));
    terminated.SendTo(Window(), kCopyTrackList, false);
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ("D:\\b.mp3", nav.entries[1].path);

    // A broken player: no terminators before the memory ends.
    GuardedBlock broken(std::string("D:\\c.avi\0C\0Q\0D:\\d.mp3\0D\0Q", 25));
    broken.SendTo(Window(), kCopyTrackList, false);
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ("Q", nav.entries[1].qualifier);
    GuardedBlock key(std::string("key", 3));
    key.SendTo(Window(), kCopyListChanged, false);
}

TEST_F(CopyData, EmptyBlocksAreEmptyLists) {
    Start();
    SendTracks(3);
    ASSERT_EQ(3u, nav.entries.size());
    SendCopyData(Window(), kCopyTrackList, std::string());
    EXPECT_TRUE(nav.entries.empty());
    EXPECT_EQ(0, nav.selected);
    EXPECT_EQ(0, nav.top);

    COPYDATASTRUCT nothing = {kCopyTrackList, 100, nullptr};  // a size but no data
    SendMessageA(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&nothing));
    EXPECT_TRUE(nav.entries.empty());
    SendMessageA(Window(), WM_COPYDATA, 0, 0);
}

TEST_F(CopyData, AnEmptyTokenEndsTheList) {
    Start();
    SendCopyData(Window(), kCopyTrackList, std::string("D:\\a.avi\0A\0\0D:\\c.avi\0C\0Q\0\0", 28));
    ASSERT_EQ(1u, nav.entries.size());
    EXPECT_EQ("D:\\a.avi", nav.entries[0].path);
    EXPECT_EQ("A", nav.entries[0].name);
    EXPECT_EQ("", nav.entries[0].qualifier);  // the missing third token
}

TEST_F(CopyData, UnknownCodesAndWrongModesChangeNothing) {
    Start();
    SendTracks(4);
    nav.HideNavigator();
    SendCopyData(Window(), 0x3005, Tokens({"x", "y", "z"}));
    SendCopyData(Window(), kCopySelectAlbum, std::string("D:\\Video\\clip003.avi\0", 21));  // albums only
    EXPECT_EQ(4u, nav.entries.size());
    EXPECT_EQ(0, nav.selected);
    EXPECT_EQ(Tracks, nav.mode);
    EXPECT_FALSE(IsWindowVisible(Window()));
}

// Every input of the copy-data fuzzer's corpus and regressions, sent as the player would send it.
TEST_F(CopyData, TheFuzzCorpusReplaysThroughTheWindow) {
    Start();
    std::vector<std::string> inputs;
    for (const char* folder : {"copydata_corpus", "copydata_regressions"})
        ListFolder(std::string(TEST_SOURCE_DIR) + "/tests/fuzz/" + folder, "*", inputs, false, false);
    ASSERT_FALSE(inputs.empty());
    const ULONG_PTR kCodes[] = {kCopyTrackList, kCopyAlbumList, kCopyListHeader, kCopyListChanged};
    for (const std::string& input : inputs) {
        std::string bytes = ReadWholeFile(input);
        if (bytes.empty()) continue;
        if ((static_cast<uint8_t>(bytes[0]) % 4) == 2) nav.ShowList(Tracks);
        GuardedBlock block(bytes.substr(1));
        block.SendTo(Window(), kCodes[static_cast<uint8_t>(bytes[0]) % 4]);
    }
}
