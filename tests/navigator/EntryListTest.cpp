// The lists the player sends, and how the Navigator selects, restores and reloads them.
#include "tests/navigator/NavigatorFixture.h"

using EntryList = NavigatorFixture;

TEST(ClassifyPath, WholeExtensionsOfTheFileNameOnly) {
    EXPECT_EQ(KindVideo, ClassifyPath("D:\\v\\movie.rm"));
    EXPECT_EQ(KindAudio, ClassifyPath("D:\\v\\song.rmi"));
    EXPECT_EQ(KindOther, ClassifyPath("D:\\v\\odd.mp"));
    EXPECT_EQ(KindOther, ClassifyPath("D:\\v\\odd.m1"));
    EXPECT_EQ(KindVideo, ClassifyPath("D:\\v\\CLIP.M4V"));
    EXPECT_EQ(KindOther, ClassifyPath("D:\\my.avi\\file"));
    EXPECT_EQ(KindOther, ClassifyPath("D:\\v\\noextension"));
    EXPECT_EQ(KindAudio, ClassifyPath("http://radio/stream.mp3"));
    EXPECT_EQ(KindOther, ClassifyPath("http://radio.mp3"));  // the host is no file name
    EXPECT_EQ(KindVideo, ClassifyPath("clip.avi"));
}

TEST(CenteredTop, CentresUnlessTheLastPageWouldRunShort) {
    // 100 entries, one column, 36 rows.
    EXPECT_EQ(0, CenteredTop(35, 100, 36, 36, 1));
    EXPECT_EQ(46, CenteredTop(64, 100, 36, 36, 1));
    EXPECT_EQ(65, CenteredTop(65, 100, 36, 36, 1));
    EXPECT_EQ(65, CenteredTop(99, 100, 36, 36, 1));
    // A grid keeps top on a row start: 4 columns, 6 rows, 24 per page.
    EXPECT_EQ(0, CenteredTop(23, 100, 24, 6, 4));
    EXPECT_EQ(36, CenteredTop(50, 100, 24, 6, 4));
    EXPECT_EQ(80, CenteredTop(99, 100, 24, 6, 4));
}

TEST(LayoutNumbers, FromModeTextSizeAndThumbnails) {
    auto grid = ComputeLayoutNumbers(Tracks, 4, 2, true, true);
    EXPECT_EQ(4, grid.columns);
    EXPECT_EQ(6, grid.rows);
    EXPECT_EQ(24, grid.perPage);
    auto list = ComputeLayoutNumbers(Tracks, 4, 4, true, false);
    EXPECT_EQ(1, list.columns);
    EXPECT_EQ(6, list.perPage);
    auto albums = ComputeLayoutNumbers(Albums, 4, 0, true, true);
    EXPECT_EQ(1, albums.columns);
    EXPECT_EQ(36, albums.rows);
    auto odd = ComputeLayoutNumbers(Tracks, 0, 7, false, true);  // column 0, text size 7: normal
    EXPECT_EQ(1, odd.columns);
    EXPECT_EQ(24, odd.perPage);
    EXPECT_EQ(1, ComputeLayoutNumbers(Tracks, -3, 2, true, true).columns);
    // A typed count of hundreds of millions: a page the arithmetic can hold, one row of cells.
    auto huge = ComputeLayoutNumbers(Tracks, 500000000, 0, true, true);
    EXPECT_GT(huge.perPage, 0);
    EXPECT_EQ(huge.rows * huge.columns, huge.perPage);
    EXPECT_LE(huge.columns, 4096);
}

TEST_F(EntryList, TrackListSelectsThePlayersCurrentTrackAndBringsTheWindowUp) {
    Start();
    player.Answer(kRequestCurrentTrack, 30);
    SendTracks(40);
    ASSERT_EQ(40u, nav.entries.size());
    EXPECT_EQ(29, nav.selected);
    EXPECT_EQ(nav.CenteredTop(29), nav.top);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), kRequestCurrentTrack), Request(Window(), kRequestBringUp)}),
              player.Requests());

    const NavigatorEntry& entry = nav.entries[0];
    EXPECT_EQ("D:\\Video\\clip001.avi", entry.path);
    EXPECT_EQ(" clip001 ", entry.name);  // as sent
    EXPECT_EQ(KindVideo, entry.kind);
    EXPECT_LT(nav.entries[0].serial, nav.entries[1].serial);
    EXPECT_NE(0u, nav.entries[0].serial);
}

TEST_F(EntryList, CurrentTrackOutOfRangeSelectsFirstOrLast) {
    Start();
    for (LRESULT answer : {LRESULT(0), LRESULT(-5)}) {
        player.Answer(kRequestCurrentTrack, answer);
        SendTracks(10);
        EXPECT_EQ(0, nav.selected) << answer;
    }
    player.Answer(kRequestCurrentTrack, 11);
    SendTracks(10);
    EXPECT_EQ(9, nav.selected);
}

TEST_F(EntryList, PlayerThatSaysNoLeavesTheWindowDown) {
    Start();
    player.Answer(kRequestBringUp, 1);
    SendTracks(5);
    EXPECT_EQ(5u, nav.entries.size());
    EXPECT_FALSE(IsWindowVisible(Window()));
    // The header brings it up in any case.
    SendCopyData(Window(), kCopyListHeader, Tokens({"key", " Name", " Qualifier"}));
    EXPECT_EQ("Qualifier / Name", nav.title);
    EXPECT_EQ("key", nav.listKey);
    EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(EntryList, HeaderWithoutQualifierOrWithOtherCounts) {
    Start();
    SendCopyData(Window(), kCopyListHeader, Tokens({"k", "Name", " "}));
    EXPECT_EQ("Name", nav.title);
    SendCopyData(Window(), kCopyListHeader, Tokens({"k2", "Other"}));  // two tokens: unchanged
    EXPECT_EQ("Name", nav.title);
    EXPECT_EQ("k", nav.listKey);
    SendTracks(2);  // a new list empties title and key
    EXPECT_EQ("", nav.title);
    EXPECT_EQ("", nav.listKey);
}

TEST_F(EntryList, DeleteRestoresPositionWithinTheNewList) {
    Start();
    player.Answer(kRequestCurrentTrack, 1);
    nav.savedSelected = 50;
    nav.savedTop = 3;
    SendTracks(20);
    EXPECT_EQ(19, nav.selected);  // beyond the new count: the last
    EXPECT_EQ(3, nav.top);
    EXPECT_EQ(-1, nav.savedSelected);
    EXPECT_EQ(-1, nav.savedTop);

    nav.savedSelected = 5;
    nav.savedTop = 40;  // beyond the last index: centred instead
    SendTracks(20);
    EXPECT_EQ(5, nav.selected);
    EXPECT_EQ(nav.CenteredTop(5), nav.top);

    nav.savedSelected = 0;  // a delete that emptied the list
    nav.savedTop = 0;
    SendTracks(0);
    EXPECT_EQ(0, nav.selected);
    EXPECT_EQ(0, nav.top);
}

TEST_F(EntryList, ReselectPathMatchesWithoutRegardToCase) {
    Start();
    player.Answer(kRequestCurrentTrack, 2);
    nav.reselectPath = "d:\\VIDEO\\CLIP007.AVI";
    SendTracks(10);
    EXPECT_EQ(6, nav.selected);
    EXPECT_TRUE(nav.reselectPath.empty());

    nav.reselectPath = "D:\\Video\\gone.avi";
    SendTracks(10);
    EXPECT_EQ(1, nav.selected);  // the player's current track stands
}

TEST_F(EntryList, DiscModeMakesEveryTrackAudio) {
    Start();
    player.Answer(kRequestDiscMode, 1);
    nav.ShowList(Tracks);
    EXPECT_EQ(1, nav.discMode);
    SendTracks(3);
    for (const NavigatorEntry& entry : nav.entries) EXPECT_EQ(KindAudio, entry.kind);
}

TEST_F(EntryList, IncompleteLastTripleGivesEmptyTexts) {
    Start();
    SendCopyData(Window(), kCopyTrackList, Tokens({"D:\\a.mp3", "A", "Q", "D:\\b.avi"}));
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ("D:\\b.avi", nav.entries[1].path);
    EXPECT_EQ("", nav.entries[1].name);
    EXPECT_EQ("", nav.entries[1].qualifier);
}

TEST_F(EntryList, AlbumListNeedsWholeTriples) {
    Start();
    nav.ShowList(Albums);
    player.Clear();
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", " Blue", " Miles", "k2", "Kind"}));
    EXPECT_TRUE(nav.entries.empty());
    EXPECT_TRUE(player.Requests().empty());
    EXPECT_FALSE(IsWindowVisible(Window()));

    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", " Blue", " Miles", "K2", "Kind", " "}));
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ("Blue", nav.entries[0].name);
    EXPECT_EQ("Miles", nav.entries[0].qualifier);
    EXPECT_EQ("", nav.entries[1].qualifier);
    EXPECT_EQ(nav.entries[0].serial, nav.entries[1].serial);  // one serial for the list
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), kRequestAlbumListLoaded)}), player.Requests());
    EXPECT_FALSE(IsWindowVisible(Window()));

    SendCopyData(Window(), kCopyListHeader, Tokens({"k9", "Title", "Q"}));  // tracks only
    EXPECT_EQ("", nav.title);
    EXPECT_FALSE(IsWindowVisible(Window()));
    SendCopyData(Window(), kCopySelectAlbum, std::string("k2\0", 3));  // by key, any case
    EXPECT_EQ(1, nav.selected);
    EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(EntryList, ShowListPlacesTheHiddenWindowAndAsks) {
    registry.SetDword(HKEY_CURRENT_USER, "MarginX", 30);
    registry.SetDword(HKEY_CURRENT_USER, "MarginY", static_cast<DWORD>(-10));  // larger than the screen
    Start();
    SetWindowPos(Window(), nullptr, 5, 5, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    nav.ShowList(Tracks);
    EXPECT_FALSE(IsWindowVisible(Window()));
    RECT rect;
    GetWindowRect(Window(), &rect);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(30, rect.left);
    EXPECT_EQ(-10, rect.top);
    EXPECT_EQ(width - 30, rect.right);
    EXPECT_EQ(height + 10, rect.bottom);
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), 128), Request(Window(), 21)}), player.Requests());
    player.Clear();
    nav.ShowList(Albums);
    EXPECT_EQ((std::vector<PlayerMessage>{Request(Window(), 128), Request(Window(), 18)}), player.Requests());
    EXPECT_EQ(1, nav.columns);
    EXPECT_EQ(24, nav.perPage);
}

// Change notices reload the list that shows, and only while it shows.
TEST_F(EntryList, ChangeNoticesReloadOnlyTheShownList) {
    const struct {
        ULONG_PTR code;
        ListMode mode;
        bool visible;
        const char* key;
        UINT reload;  // the list asked for, or 0
    } cases[] = {
        {0x1003, Tracks, true, "KEY-a", 21},   // the shown list's key, any case
        {0x1003, Tracks, true, "key-b", 0},
        {0x1003, Tracks, false, "Key-A", 0},
        {0x1003, Albums, true, "Key-A", 0},    // track lists only
        {0x1004, Tracks, true, "key-a", 21},
        {0x1004, Tracks, true, "other", 0},
        {0x1005, Tracks, true, "Key-A", 21},
        {0x1005, Tracks, true, "other", 0},
        {0x1004, Tracks, false, "Key-A", 0},
        {0x1004, Albums, true, "anything", 18},  // the album list on any key
        {0x1005, Albums, true, "anything", 18},
        {0x1005, Albums, false, "anything", 0},
    };
    Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.code << " " << c.key);
        nav.ShowList(c.mode);
        if (c.mode == Tracks) {
            SendTracks(3);
            SendCopyData(Window(), kCopyListHeader, Tokens({"Key-A", "Name", "Q"}));
        } else {
            SendCopyData(Window(), kCopyAlbumList, Tokens({"Key-A", "Blue", "Miles"}));
            SendCopyData(Window(), kCopySelectAlbum, std::string("Key-A", 5));
        }
        ASSERT_TRUE(IsWindowVisible(Window()));
        if (!c.visible) nav.HideNavigator();
        player.Clear();
        SendCopyData(Window(), c.code, std::string(c.key) + '\0');
        std::vector<PlayerMessage> expected;
        if (c.reload) expected = {Request(Window(), 128), Request(Window(), c.reload)};
        EXPECT_EQ(expected, player.Requests());
    }
}
