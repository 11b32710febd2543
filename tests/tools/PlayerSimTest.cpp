// The player simulator: its library rules, its answers to the Navigator's requests (with the
// real Navigator in this process), and whole scripted runs of QuillarSim.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "navigator/NavigatorWnd.h"
#include "plugin/RembrixApp.h"
#include "tests/support/FakePlayer.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"
#include "tools/player/SimPlayer.h"

namespace {

// Two albums and a playlist:
//   Films: a.avi (3 bytes), b.mkv (1 byte), their side images, a hidden file
//   Songs: one.mp3, two.mp3
//   Mix.m3u: Songs\two.mp3, Films\a.avi
void MakeLibrary(const TempFolder& folder) {
    CreateDirectoryA((folder / "Films").c_str(), nullptr);
    CreateDirectoryA((folder / "Songs").c_str(), nullptr);
    folder.Write("Films\\a.avi", "aaa");
    folder.Write("Films\\b.mkv", "b");
    folder.Write("Films\\a.JPG", "jpeg");
    folder.Write("Films\\b.thm", "thm");
    folder.Write("Films\\a.smi", "subtitles");
    std::string hidden = folder.Write("Films\\hidden.avi", "h");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    folder.Write("Songs\\one.mp3", "1");
    folder.Write("Songs\\two.mp3", "2");
    folder.Write("Mix.m3u", "#EXTM3U\r\nSongs\\two.mp3\r\n\r\nFilms\\a.avi\r\n");
}

std::vector<std::string> PathsOf(const std::vector<Track>& tracks) {
    std::vector<std::string> paths;
    for (const Track& t : tracks) paths.push_back(t.path);
    return paths;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(MediaLibrary, AlbumsPlaylistsAndTheirTracks) {
    TempFolder folder;
    MakeLibrary(folder);
    MediaLibrary library(folder.Path());
    ASSERT_EQ(3u, library.Albums().size());
    EXPECT_EQ("Films", library.Albums()[0].name);
    EXPECT_EQ("Songs", library.Albums()[1].name);
    EXPECT_EQ("Mix", library.Albums()[2].name);
    EXPECT_TRUE(library.Albums()[2].playlist);

    EXPECT_EQ((std::vector<std::string>{folder / "Films\\a.avi", folder / "Films\\b.mkv"}), PathsOf(library.Tracks(0)));
    EXPECT_EQ((std::vector<std::string>{folder / "Songs\\two.mp3", folder / "Films\\a.avi"}),
              PathsOf(library.Tracks(2)));
    library.NextOrder();  // by size
    EXPECT_EQ((std::vector<std::string>{folder / "Films\\b.mkv", folder / "Films\\a.avi"}), PathsOf(library.Tracks(0)));
    EXPECT_TRUE(library.Tracks(7).empty());
}

class SimulatorExchange : public ::testing::Test {
protected:
    void SetUp() override {
        theApp.InitInstance(GetModuleHandleA(nullptr));
        MakeLibrary(folder);
        g_logLines = &log;
        g_logToStdout = false;
        player = std::make_unique<Player>(folder.Path());
        ASSERT_TRUE(player->Create());
        settings.Load((registry.Base() + "\\Rembrix").c_str());
        ASSERT_TRUE(nav.CreateNavigator(&settings));
        ASSERT_TRUE(PumpUntil([&] { return HasLine(log, "request 990 -> 0"); }, 2000));
        log.clear();
    }
    void TearDown() override {
        nav.DestroyWindow();
        DestroyWindow(player->Handle());
        g_logLines = nullptr;
        g_logToStdout = true;
    }

    TempFolder folder;
    RegistryScratch registry{"SimulatorExchange"};
    std::vector<std::string> log;
    std::unique_ptr<Player> player;
    PluginSettings settings = {};
    NavigatorWnd nav;
};

TEST_F(SimulatorExchange, TrackListFollowsRequest21) {
    player->SetAlbum(1);
    player->SetTrack(2);
    nav.ShowList(Tracks);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(nav.Handle()) != FALSE; }, 2000));
    EXPECT_EQ((std::vector<std::string>{"request 128 -> 0", "request 21 -> 0", "sent 0x3009 6 tokens",
                                        "request 8 -> 2", "request 19 -> 0", "sent 0x3007 3 tokens"}),
              log);
    ASSERT_EQ(2u, nav.entries.size());
    EXPECT_EQ(1, nav.selected);
    EXPECT_EQ("Album / Songs", nav.title);
    EXPECT_EQ(folder / "Songs", nav.listKey);
}

TEST_F(SimulatorExchange, AlbumListFollowsRequest18AndSelectsTheCurrentAlbum) {
    player->SetAlbum(2);
    nav.ShowList(Albums);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(nav.Handle()) != FALSE; }, 2000));
    EXPECT_EQ((std::vector<std::string>{"request 128 -> 0", "request 18 -> 0", "sent 0x3006 9 tokens",
                                        "request 15 -> 0", "sent 0x3004 key " + folder / "Mix.m3u"}),
              log);
    ASSERT_EQ(3u, nav.entries.size());
    EXPECT_EQ(2, nav.selected);
    EXPECT_EQ("Playlist", nav.entries[2].qualifier);
}

TEST_F(SimulatorExchange, ChoosingAnAlbumOpensItsTracks) {
    nav.ShowList(Albums);
    PumpUntil([&] { return IsWindowVisible(nav.Handle()) != FALSE; }, 2000);
    nav.selected = 1;
    log.clear();
    SendMessageA(nav.Handle(), WM_TIMER, kTimerChoose, 0);
    ASSERT_TRUE(PumpUntil([&] { return nav.entries.size() == 2 && !nav.title.empty(); }, 2000));
    EXPECT_EQ("command 6008 value 1 extra 3", log[0]);
    EXPECT_EQ("Album / Songs", nav.title);
}

namespace {

// Runs QuillarSim.exe on the library with the script; returns its exit code, -1 when it hangs.
int RunSimulator(const TempFolder& folder, const std::string& script) {
    std::string scriptPath = folder.Write("run.script", script);
    CreateDirectoryA((folder / "shots").c_str(), nullptr);
    std::string command = "\"" + ProgramFolder() + "QuillarSim.exe\" --library \"" + folder.Path() + "\" --log \"" +
                          (folder / "sim.log") + "\" --script \"" + scriptPath + "\" --snapshots \"" +
                          (folder / "shots") + "\" --registry Software\\RembrixTests\\Simulator";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return -2;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) lines.push_back(line);
    return lines;
}

// The index of the first line at or after `from` that starts with `prefix`; -1 when none.
int Find(const std::vector<std::string>& lines, const std::string& prefix, int from = 0) {
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(QuillarSim, PushedTrackListComesUpAndAChangeNoticeReloadsIt) {
    TempFolder folder;
    MakeLibrary(folder);
    RegistryScratch registry("Simulator");
    ASSERT_EQ(0, RunSimulator(folder, "wait 300\nalbum 0\ntrack 2\npush tracks\nwait 100\nsnapshot films\n"
                                      "changed list\nwait 200\nstatus\nquit\n"));
    auto log = Lines(folder / "sim.log");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("plugin Remote Controller Plugin for Quillar (Rembrix Remote Team)", log[0]);
    int push = Find(log, "script push tracks");
    ASSERT_GE(push, 0);
    EXPECT_EQ("sent 0x3009 6 tokens", log[push + 1]);
    EXPECT_EQ("request 8 -> 2", log[push + 2]);
    EXPECT_EQ("request 19 -> 0", log[push + 3]);
    EXPECT_EQ("sent 0x3007 3 tokens", log[push + 4]);
    int shot = Find(log, "snapshot saved");
    ASSERT_GT(shot, push);
    EXPECT_NE(std::string::npos, log[shot].find("visible=1"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder / "shots\\films.png").c_str()));

    int changed = Find(log, "script changed list");
    ASSERT_GT(changed, shot);
    EXPECT_EQ("sent 0x1003 key " + folder / "Films", log[changed + 1]);
    EXPECT_EQ("request 128 -> 0", log[changed + 2]);
    EXPECT_EQ("request 21 -> 0", log[changed + 3]);
    EXPECT_GT(Find(log, "sent 0x3009 6 tokens", changed), changed);
    EXPECT_GT(Find(log, "request 991 -> 0", changed), changed);
    EXPECT_EQ("exit", log.back());
}

TEST(QuillarSim, KeysOpenAlbumsChooseATrackAndDeleteAFile) {
    TempFolder folder;
    MakeLibrary(folder);
    folder.Write("Films\\c.avi", "c");
    folder.Write("Films\\c.smi", "s");
    RegistryScratch registry("Simulator");
    ASSERT_EQ(0, RunSimulator(folder, "setting ShowThumbnail 0\nrestart\nwait 300\n"
                                      "album 0\npush tracks\nwait 100\nkey BACK\nwait 200\n"
                                      "key DOWN\nkey RETURN\nwait 800\n"
                                      "key DOWN\nkey RETURN\nwait 800\nstatus\n"
                                      "album 0\npush tracks\nwait 100\nkey DOWN\nkey DOWN\n"
                                      "key DELETE\nkey DELETE\nwait 300\nquit\n"));
    auto log = Lines(folder / "sim.log");
    int back = Find(log, "script key BACK");
    ASSERT_GE(back, 0);
    EXPECT_GT(Find(log, "request 18 -> 0", back), back);
    int chosen = Find(log, "command 6008 value 1 extra 3", back);  // Songs, the second album
    ASSERT_GT(chosen, back);
    EXPECT_EQ("request 128 -> 0", log[chosen + 1]);
    EXPECT_EQ("request 21 -> 0", log[chosen + 2]);
    int played = Find(log, "command 5105 value 2 extra 0", chosen);
    ASSERT_GT(played, chosen);
    EXPECT_EQ("play " + folder / "Songs\\two.mp3", log[played + 1]);
    EXPECT_EQ("status visible=0", log[Find(log, "status", played)]);  // hidden before the track played

    int refresh = Find(log, "command 6009 value 0 extra 0", played);
    ASSERT_GT(refresh, played);
    EXPECT_GT(Find(log, "sent 0x3009 6 tokens", refresh), refresh);  // a.avi, b.mkv remain
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder / "Films\\c.avi").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder / "Films\\c.smi").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder / "Films\\b.mkv").c_str()));
}

TEST(QuillarSim, RemoteButtonsAndTheHotKeyReachThePlayer) {
    TempFolder folder;
    MakeLibrary(folder);
    RegistryScratch registry("Simulator");
    ASSERT_EQ(0, RunSimulator(folder, "setting HotKey 0x30041\nrestart\nwait 300\n"
                                      "hotkey\nwait 200\nstatus\n"
                                      "appcommand 51\nwait 200\n"
                                      "shellhook 13\nwait 100\nstatus\n"
                                      "streamzap 19\nwait 200\nstatus\nstreamzap 8\nstatus\nstreamzap 8\nquit\n"));
    auto log = Lines(folder / "sim.log");
    int hot = Find(log, "script hotkey");
    ASSERT_GE(hot, 0);
    EXPECT_GT(Find(log, "request 21 -> 0", hot), hot);
    EXPECT_EQ("status visible=1", log[Find(log, "status", hot)]);
    int channel = Find(log, "script appcommand 51");
    EXPECT_GT(Find(log, "command 5206 value 1 extra 3", channel), channel);
    int stop = Find(log, "script shellhook 13");
    EXPECT_EQ("status visible=0", log[Find(log, "status", stop)]);  // stop hid the Navigator
    int menu = Find(log, "script streamzap 19");
    int shown = Find(log, "status", menu);
    EXPECT_EQ("status visible=1", log[shown]);
    int hidden = Find(log, "status", shown + 1);  // the first 8 hides the Navigator...
    EXPECT_EQ("status visible=0", log[hidden]);
    EXPECT_GT(Find(log, "command 5102 value 0 extra 0", hidden), hidden);  // ...the second goes to the player
}
