// The lists the player sends, and how the Navigator selects, restores and reloads them.
#include "tests/support/NavigatorFixture.h"

#include <tuple>

using EntryList = NavigatorFixture;

// An album list needs whole triples, asks request 15 and waits, hidden, for the player to select an
// album by its key. Chosen, an album opens by its 0-based index, asking for its tracks with the
// window up. A track list selects the player's current track and comes up when the player answers
// request 19 with 0 (every track audio in disc mode). Otherwise a header brings it up, but one of
// two tokens sets no title.
TEST_F(EntryList, AlbumsWaitForTheirSelectionAndTracksForTheAnswerOrAHeader) {
    Start();
    nav.ShowList(Albums);
    player.Clear();
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", " Blue", " Miles", "k2", "Kind"}));
    EXPECT_TRUE(nav.List().Entries().empty() && player.Requests().empty());
    SendCopyData(Window(), kCopyAlbumList, Tokens({"k1", " Blue", " Miles", "K2", "Kind", " "}));
    const auto& entries = nav.List().Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(std::make_tuple("Blue", "Miles", ""), std::make_tuple(entries[0].name, entries[0].qualifier,
                                                                     entries[1].qualifier));
    EXPECT_EQ(Asks({15}), player.Requests());
    EXPECT_FALSE(IsWindowVisible(Window()));
    SendCopyData(Window(), kCopySelectAlbum, std::string("k2\0", 3));  // any case
    EXPECT_EQ(1, nav.List().Selected());
    EXPECT_TRUE(IsWindowVisible(Window()));
    player.Answer(kRequestCurrentTrack, 3);
    player.Answer(kRequestDiscMode, 1);
    nav.HandleCommand(CMD_OK);
    player.Clear();
    ASSERT_TRUE(PumpUntil([&] { return nav.List().Mode() == Tracks; }, 2000));
    EXPECT_EQ((Messages{Command(6008, 1, 3)}), player.Commands());
    player.Clear();
    SendTracks(4);
    EXPECT_EQ(Asks({8, 19}), player.Requests());
    EXPECT_TRUE(IsWindowVisible(Window()));
    for (const NavigatorEntry& entry : entries) EXPECT_EQ(KindAudio, entry.kind);

    nav.HideNavigator();
    player.Answer(kRequestBringUp, 1);
    SendTracks(4);
    EXPECT_FALSE(IsWindowVisible(Window()));
    SendCopyData(Window(), kCopyListHeader, Tokens({"k2", "Other"}));
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ("", nav.List().Title());
}

// Change notices reload the list that shows, and only while it shows.
TEST_F(EntryList, ChangeNoticesReloadOnlyTheShownList) {
    // code, list, shown, key -> the list asked for, or 0
    const std::tuple<ULONG_PTR, ListMode, bool, const char*, UINT> cases[] = {
        {0x1003, Tracks, true, "KEY-a", 21}, {0x1003, Tracks, true, "key-b", 0},  // the shown list's key, any case
        {0x1003, Tracks, false, "Key-A", 0}, {0x1003, Albums, true, "Key-A", 0},  // track lists only
        {0x1004, Tracks, true, "key-a", 21}, {0x1004, Tracks, true, "other", 0},
        {0x1005, Tracks, true, "Key-A", 21}, {0x1005, Albums, false, "anything", 0},
        {0x1004, Albums, true, "anything", 18}, {0x1005, Albums, true, "anything", 18},  // albums on any key
    };
    Start();
    for (const auto& [code, mode, visible, key, reload] : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << code << " " << key);
        nav.ShowList(Tracks);
        SendTracks(3);
        SendCopyData(Window(), kCopyListHeader, Tokens({"Key-A", "Name", "Q"}));
        if (mode == Albums) ShowAlbums({"Key-A", "Blue", "Miles"}, "Key-A");
        ASSERT_TRUE(IsWindowVisible(Window()));
        if (!visible) nav.HideNavigator();
        player.Clear();
        SendCopyData(Window(), code, std::string(key) + '\0');
        EXPECT_EQ(reload ? Asks({128, reload}) : Messages(), player.Requests());
    }
}
