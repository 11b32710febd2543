// Steering the Navigator: the dispatcher in both states, movement, choosing, deleting, keys and
// the mouse, with the fake player recording every message.
#include "tests/support/NavigatorFixture.h"

#include "base/Files.h"
#include "base/ModuleState.h"
#include "input/CommandTarget.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

#include <functional>
#include <utility>

namespace {

using Commands = NavigatorFixture;

PlayerMessage C(UINT code, int value = 0, WPARAM extra = 0) { return Command(code, value, extra); }

// What the window shows when a command comes, and the player's answers then: request 128 (disc
// mode) and request 20 (2: the player takes keys).
constexpr int kHidden = 0, kShown = 1, kAlbums = 2, kDisc = 4, kKeys = 8;

// The answer to request 1 (`query`) is asked only by CMD_HOST_5104_IF; `sent` holds player commands and
// mode switches; `listAsked` is request 21 (tracks), 18 (albums), or 0.
struct Dispatch { int command, at; BOOL result; Messages sent; UINT listAsked; bool visibleAfter; LRESULT query; };

// A command the hidden window consumes, staying hidden.
Dispatch Hidden(int command, Messages sent, int at = kHidden) { return {command, at, 1, sent, 0, false, 0}; }
// CMD_HOST_5104_IF on the hidden window, the player answering request 1 with `query`.
Dispatch HiddenQueried(LRESULT query, Messages sent) { return {CMD_HOST_5104_IF, kHidden, 1, sent, 0, false, query}; }
// A command the shown window consumes, staying shown.
Dispatch Shown(int command, int at = 0, Messages sent = {}) { return {command, at | kShown, 1, sent, 0, true, 0}; }
// A command that hides the shown window.
Dispatch Hides(int command) { return {command, kShown, 1, {}, 0, false, 0}; }
// A command that asks for `list` (21 tracks, 18 albums), the window staying as it was.
Dispatch AsksFor(int command, int at, UINT list, Messages sent = {}) {
    return {command, at, 1, sent, list, (at & kShown) != 0, 0};
}
// A command not consumed: nothing happens.
Dispatch Refused(int command, int at) { return {command, at, 0, {}, 0, at == kShown, 0}; }

}  // namespace

// Every command in both states, with the player's state and disc mode where they matter.
TEST_F(Commands, DispatcherTable) {
    const Dispatch table[] = {
        // Codes below 1000 act only on the shown window; Home, End and unknown codes are not consumed.
        Refused(CMD_PAGE_DOWN, kHidden), Refused(4711, kHidden), Refused(CMD_HOME, kShown), Refused(999, kShown),
        Shown(CMD_NONE),
        // Sort, refresh and delete: only the track list outside disc mode.
        Shown(CMD_SORT, 0, {C(6010, 0, 3)}), Shown(CMD_REFRESH, 0, {C(6009, 0, 3)}), Shown(CMD_SORT, kDisc),
        Shown(CMD_REFRESH, kAlbums), Shown(CMD_DELETE, kDisc), Shown(CMD_DELETE, kAlbums),
        // The Navigator and album buttons.
        AsksFor(CMD_NAVIGATOR, kHidden, 21), Hides(CMD_NAVIGATOR), AsksFor(CMD_ALBUMS, kHidden, 18),
        // Next and previous list: not in disc mode; the shown window asks for the new list.
        Hidden(CMD_NEXT_LIST, {C(5206, 1, 3)}), Hidden(CMD_NEXT_LIST, {}, kDisc),
        AsksFor(CMD_PREV_LIST, kShown, 21, {C(5206, -1, 3)}), Shown(CMD_PREV_LIST, kDisc),
        // Arrows and OK of the hidden window: keys for a player in state 2, else its own commands.
        Hidden(CMD_UP, {C(7052, 38)}, kKeys), Hidden(CMD_DOWN, {}), Hidden(CMD_LEFT, {C(7052, 37)}, kKeys),
        Hidden(CMD_LEFT, {C(5115)}), Hidden(CMD_RIGHT, {C(5116)}), Hidden(CMD_OK, {C(7052, 13)}, kKeys),
        Hidden(CMD_OK, {C(5104)}), Hidden(CMD_SELECT, {C(5104)}), Hidden(CMD_ESCAPE, {C(5202)}), Hides(CMD_ESCAPE),
        // Player commands of the hidden window; the shown one does nothing with them.
        Hidden(CMD_HOST_7032, {C(7032)}), Shown(CMD_HOST_7032), Hidden(CMD_AUDIO, {C(7030)}),
        Hidden(CMD_SUBTITLE, {C(7031)}), Hidden(CMD_DISC_MODE, {C(7050)}, kDisc), Shown(CMD_DISC_MODE),
        Hidden(CMD_DISC_MODE, {ModeSwitch(2), C(5104)}), Hidden(CMD_FILE_MODE, {ModeSwitch(3)}, kDisc),
        Hidden(CMD_FILE_MODE, {}), AsksFor(CMD_FILE_MODE, kShown | kDisc, 21, {ModeSwitch(3)}),
        Shown(CMD_FILE_MODE), Shown(CMD_HOST_5171, 0, {C(5171)}), Hidden(CMD_HOST_5171, {C(5171)}),
        HiddenQueried(526, {C(5104)}), HiddenQueried(529, {C(5104)}), HiddenQueried(527, {}), Shown(CMD_HOST_5104_IF),
        Hidden(CMD_HOST_5102, {C(5102)}), Hidden(CMD_HOST_5102, {C(5102), ModeSwitch(3)}, kDisc), Shown(CMD_HOST_5102),
        Hidden(CMD_HOST_5107, {C(5107)}), Hidden(CMD_HOST_5108, {C(5108)}), Hidden(CMD_HOST_5115, {C(5115)}),
        Hidden(CMD_HOST_5116, {C(5116)}), Hidden(CMD_HOST_5135, {C(5135)}), Hidden(CMD_HOST_5134, {C(5134)}),
        Hidden(CMD_HOST_5172, {C(5172)}), Hidden(CMD_HOST_5205, {C(5205)}), Shown(CMD_HOST_5205),
    };
    Start();
    for (const Dispatch& row : table) {
        bool visible = (row.at & kShown) != 0;
        SCOPED_TRACE(::testing::Message() << "command " << row.command << " at " << row.at << ", query " << row.query);
        if (row.at & kAlbums) {
            ShowAlbums({"k1", "Rock", "A", "k2", "Jazz", "B"}, "k1");
        } else {
            nav.ShowList(Tracks);
            SendTracks(5);
        }
        ASSERT_TRUE(IsWindowVisible(Window()));
        if (!visible) nav.HideNavigator();
        player.Answer(kRequestDiscMode, (row.at & kDisc) ? 1 : 0);
        player.Answer(kRequestPlayerState, (row.at & kKeys) ? 2 : 0);
        player.Answer(kRequestPlayerQuery, row.query);
        player.Clear();

        EXPECT_EQ(row.result, nav.HandleCommand(row.command));
        EXPECT_EQ(row.sent, player.Commands());
        // The state first, in this order, unless refused outright; then the query or the list asked for.
        Messages asked;
        if (row.command >= 1000 || visible) asked = Asks({128, 20, 130});
        if (row.query) asked.push_back(Asked(1));
        if (row.listAsked) asked.insert(asked.end(), {Asked(128), Asked(row.listAsked)});
        EXPECT_EQ(asked, player.Requests());
        EXPECT_EQ(row.visibleAfter, IsWindowVisible(Window()) != FALSE);
    }
}

// Keys, the pointer, the wheel, the buttons and the close button on one column of 18 entries to a
// page; a digit 0 is no entry, and hidden, a digit names the track to play.
TEST_F(Commands, KeysTheMouseAndDigits) {
    registry.SetDword(HKEY_CURRENT_USER, "TextSize", 3);
    registry.SetDword(HKEY_CURRENT_USER, "ShowThumbnail", 0);
    Start();
    // Control held turns Page Up and Page Down into the lists (the list empties till the new one
    // comes), and changes no other key; Shift and Alt held change nothing, and a key that comes as a
    // system key (as Alt makes it) does nothing. Selected -1: the window hides.
    struct Key { const char* what; std::vector<BYTE> held; UINT message, key; int selected; Messages sent; };
    const Key keys[] = {
        {"Escape: hide", {}, WM_KEYDOWN, VK_ESCAPE, -1, {}},
        {"Return, Alt held: choose the track", {VK_MENU}, WM_KEYDOWN, VK_RETURN, -1, {C(5105, 20)}},
        {"F4: sort", {}, WM_KEYDOWN, VK_F4, 19, {C(6010, 0, 3)}},
        {"A with Control: nothing", {VK_CONTROL}, WM_KEYDOWN, 'A', 19, {}},
        {"Page Down, Alt held", {VK_MENU}, WM_KEYDOWN, VK_NEXT, 37, {}},
        {"Page Down with Alt: a system key", {VK_MENU}, WM_SYSKEYDOWN, VK_NEXT, 19, {}},
        {"Page Down, Control and Shift: next list", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, VK_NEXT, 0, {C(5206, 1, 3)}},
        {"Page Up, Control and Alt: previous list", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, VK_PRIOR, 0, {C(5206, -1, 3)}},
        {"Up with Control", {VK_CONTROL}, WM_KEYDOWN, VK_UP, 18, {}},
        {"Down, Shift held", {VK_SHIFT}, WM_KEYDOWN, VK_DOWN, 20, {}},
        {"F5 with Control and Shift: refresh", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, VK_F5, 19, {C(6009, 0, 3)}},
    };
    player.Answer(kRequestCurrentTrack, 20);
    for (const Key& k : keys) {
        SCOPED_TRACE(k.what);
        SendTracks(40);
        player.Clear();
        BYTE state[256] = {};
        for (BYTE held : k.held) state[held] = 0x80;
        SetKeyboardState(state);
        SendMessageA(Window(), k.message, k.key, k.message == WM_SYSKEYDOWN ? (KF_ALTDOWN << 16) | 1 : 1);
        PumpUntil([&] { return player.Commands() == k.sent; }, 1500);  // choosing waits for its timer
        int selected = IsWindowVisible(Window()) ? nav.List().Selected() : -1;
        EXPECT_EQ(std::make_pair(k.selected, k.sent), std::make_pair(selected, player.Commands()));
    }
    BYTE none[256] = {};
    SetKeyboardState(none);
    // The list the player sends back after the refresh selects the same file, wherever it is now.
    SendCopyData(Window(), kCopyTrackList, Tokens({"d:\\video\\CLIP020.AVI", "a", "q", "x.avi", "b", "q"}));
    EXPECT_EQ(0, nav.List().Selected());
    player.Answer(kRequestCurrentTrack, 0);
    player.Clear();
    // The wheel moves one row; a press selects and chooses the entry, which shows pressed for half a
    // second before the window hides and the track plays.
    SendTracks(10);
    Geometry layout = nav.Layout();
    Rect cell = layout.ItemRect(4);
    LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageA(Window(), WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-3 * WHEEL_DELTA)) << 16, 0);
    EXPECT_EQ(1, nav.List().Selected());
    SendMessageA(Window(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(4, nav.List().Selected());
    EXPECT_TRUE(IsWindowVisible(Window()) && player.Commands().empty());
    ASSERT_TRUE(PumpUntil([&] { return !player.Commands().empty(); }, 2000));
    EXPECT_FALSE(IsWindowVisible(Window()));
    EXPECT_EQ((Messages{C(5105, 5)}), player.Commands());

    // The close button closes when released over it.
    nav.BringUp();
    Rect close = layout.CloseButtonRect();
    LPARAM onClose = MAKELPARAM(close.left + 2, close.top + 2);
    SendMessageA(Window(), WM_MOUSEMOVE, 0, onClose);
    SendMessageA(Window(), WM_LBUTTONDOWN, MK_LBUTTON, onClose);
    EXPECT_TRUE(IsWindowVisible(Window()));
    SendMessageA(Window(), WM_LBUTTONUP, 0, onClose);
    EXPECT_FALSE(IsWindowVisible(Window()));
    // Hidden, a digit names the track to play.
    player.Clear();
    EXPECT_EQ(1, nav.SelectNumber(4));
    EXPECT_EQ((Messages{C(5105, 4)}), player.Commands());
}

using Deleting = NavigatorFixture;

// The box survives repaints; any other input (a digit too, or hiding the window) answers it: it
// cancels, is not carried out, and the box goes. A box shows a language pack's question with
// conversions other than %d; a new list takes it away. A held key is no second press.
TEST_F(Deleting, TheBoxItsAnswersAndTheSecondPressOfTheKey) {
    TempFolder folder;
    const std::string a = folder.Write("a.avi", "a"), b = folder.Write("b.avi", "b");
    // The box on screen: its frames in colour 17 from x = 40, colour 14 inside them.
    auto boxShows = [&] {
        WindowCapture screen(Window(), WindowCapture::Source::Screen);
        int middle = screen.Height() / 2;
        return screen.At(40, middle) == settings.colours[17] && screen.At(43, middle) == settings.colours[17] &&
               screen.At(45, middle) == settings.colours[14];
    };
    Start();
    SendCopyData(Window(), kCopyTrackList, Tokens({b, "b", "q", a, "a", "q"}));
    nav.HandleCommand(CMD_RIGHT);  // a.avi
    PumpMessages(50);
    const std::function<void()> answers[] = {
        [&] { nav.HandleCommand(CMD_UP); },
        [&] { nav.SelectNumber(1); },
        [&] { nav.HideNavigator(), nav.BringUp(); },
    };
    for (const auto& answer : answers) {
        nav.HandleCommand(CMD_DELETE);
        InvalidateRect(Window(), nullptr, FALSE);
        UpdateWindow(Window());
        EXPECT_TRUE(boxShows()) << "a repaint erased the box of a pending delete";
        answer();
        EXPECT_FALSE(boxShows());
        EXPECT_EQ(std::make_pair(1, true), std::make_pair(nav.List().Selected(), IsWindowVisible(Window()) != 0));
    }
    ThisModuleState().resources = LoadLibraryExA("long_strings.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    nav.SelectNumber(1);
    nav.HandleCommand(CMD_DELETE);  // b.avi, asked in the pack's words
    FreeLibrary(std::exchange(ThisModuleState().resources, ThisModuleState().instance));
    EXPECT_TRUE(boxShows());

    // The Delete key at the times its messages carry: pressed too soon after the box, and its
    // auto-repeat, leave the box as it is; pressed again, the file goes with its subtitles.
    for (const char* name : {"a.smi", "a.smil"}) folder.Write(name, "a");
    SendCopyData(Window(), kCopyTrackList, Tokens({b, "b", "q", a, "a", "q"}));  // the box goes with the list
    // A file the worker still reads goes only when the worker lets go of it.
    ASSERT_TRUE(PumpUntil([&] { return nav.Thumbnails().Awaited() == 0; }, 5000));
    nav.SelectNumber(2);
    player.Clear();
    const DWORD first = GetTickCount();
    for (auto [after, repeat] : {std::pair<DWORD, LPARAM>{0, 0}, {100, 0}, {600, 1 << 30}, {700, 0}}) {
        EXPECT_TRUE(after == 0 || (boxShows() && FileExists(a.c_str()) && player.Commands().empty())) << after;
        ASSERT_TRUE(StampMessageTime(first + after));
        SendMessageA(Window(), WM_KEYDOWN, VK_DELETE, 1 | repeat);
    }
    for (const char* name : {"a.avi", "a.smi", "a.smil"}) EXPECT_FALSE(FileExists((folder / name).c_str()));
    EXPECT_TRUE(FileExists(b.c_str()));
    EXPECT_EQ((Messages{C(6009)}), player.Commands());
}
