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
using Lines = std::vector<std::string>;

// Films: a.avi (3 bytes), b.mkv (1 byte), their side images and subtitles, a hidden file; Songs:
// one.mp3, two.mp3; the playlist Mix.m3u: Songs\two.mp3, Films\a.avi.
void MakeLibrary(const TempFolder& folder) {
    for (const char* album : {"Films", "Songs"}) CreateDirectoryA((folder / album).c_str(), nullptr);
    const std::pair<const char*, const char*> files[] = {{"Films\\a.avi", "aaa"}, {"Films\\b.mkv", "b"},
        {"Films\\a.JPG", "jpeg"}, {"Films\\b.thm", "thm"}, {"Films\\a.smi", "subtitles"}, {"Songs\\one.mp3", "1"},
        {"Songs\\two.mp3", "2"}, {"Mix.m3u", "#EXTM3U\r\nSongs\\two.mp3\r\n\r\nFilms\\a.avi\r\n"}};
    for (const auto& [name, bytes] : files) folder.Write(name, bytes);
    SetFileAttributesA(folder.Write("Films\\hidden.avi", "h").c_str(), FILE_ATTRIBUTE_HIDDEN);
}

// The log holds the steps in this order: each step's line is the first after the previous step's
// that starts with its prefix (an empty prefix: the very next line), and reads as given, if given.
void ExpectInOrder(const Lines& log, const std::vector<std::pair<std::string, std::string>>& steps) {
    for (size_t at = 0, i = 0; i < steps.size(); ++i, ++at) {
        while (at < log.size() && log[at].compare(0, steps[i].first.size(), steps[i].first) != 0) ++at;
        ASSERT_LT(at, log.size()) << "no line starting \"" << steps[i].first << "\" where expected";
        if (!steps[i].second.empty()) {
            EXPECT_EQ(steps[i].second, log[at]);
        }
    }
}
}  // namespace

TEST(MediaLibrary, AlbumsPlaylistsAndTheirTracks) {
    TempFolder folder;
    MakeLibrary(folder);
    MediaLibrary library(folder.Path());
    auto album = [&](size_t index) {  // its name, then its tracks' paths
        Lines names = {index >= library.Albums().size() ? "none" : library.Albums()[index].name};
        if (index < library.Albums().size() && library.Albums()[index].playlist) names[0] += " (playlist)";
        for (const Track& track : library.Tracks(index)) names.push_back(track.path);
        return names;
    };
    EXPECT_EQ((Lines{"Films", folder / "Films\\a.avi", folder / "Films\\b.mkv"}), album(0));
    EXPECT_EQ((Lines{"Mix (playlist)", folder / "Songs\\two.mp3", folder / "Films\\a.avi"}), album(2));
    EXPECT_EQ((Lines{"none"}), album(3));
    library.NextOrder();  // by size
    EXPECT_EQ((Lines{"Films", folder / "Films\\b.mkv", folder / "Films\\a.avi"}), album(0));
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
        ASSERT_TRUE(PumpUntil([&] { return std::count(log.begin(), log.end(), "request 990 -> 0") > 0; }, 2000));
        log.clear();
    }
    void TearDown() override {
        nav.DestroyWindow();
        DestroyWindow(player->Handle());
        g_logLines = nullptr;
        g_logToStdout = true;
    }
    bool Shown() { return PumpUntil([&] { return IsWindowVisible(nav.Handle()) != FALSE; }, 2000); }
    TempFolder folder;
    RegistryScratch registry{"SimulatorExchange"};
    Lines log;
    std::unique_ptr<Player> player;
    PluginSettings settings = {};
    NavigatorWnd nav;
};

TEST_F(SimulatorExchange, TrackListFollowsRequest21) {
    player->SetAlbum(1);
    player->SetTrack(2);
    nav.ShowList(Tracks);
    ASSERT_TRUE(Shown());
    EXPECT_EQ((Lines{"request 128 -> 0", "request 21 -> 0", "sent 0x3009 6 tokens", "request 8 -> 2", "request 19 -> 0",
                     "sent 0x3007 3 tokens"}), log);
    EXPECT_TRUE(nav.entries.size() == 2 && nav.selected == 1);
    EXPECT_EQ("Album / Songs", nav.title);
    EXPECT_EQ(folder / "Songs", nav.listKey);
}

TEST_F(SimulatorExchange, AlbumListFollowsRequest18AndSelectsTheCurrentAlbum) {
    player->SetAlbum(2);
    nav.ShowList(Albums);
    ASSERT_TRUE(Shown());
    EXPECT_EQ((Lines{"request 128 -> 0", "request 18 -> 0", "sent 0x3006 9 tokens", "request 15 -> 0",
                     "sent 0x3004 key " + folder / "Mix.m3u"}), log);
    EXPECT_TRUE(nav.entries.size() == 3 && nav.selected == 2 && nav.entries[2].qualifier == "Playlist");
}

class QuillarSim : public ::testing::Test {
protected:
    void SetUp() override { MakeLibrary(folder); }
    // The log of a run of the script; the run must end by itself, with exit code 0.
    Lines Run(const std::string& script) {
        CreateDirectoryA((folder / "shots").c_str(), nullptr);
        std::string command = "\"" + ProgramFolder() + "QuillarSim.exe\" --registry Software\\RembrixTests\\Simulator";
        command += " --library \"" + folder.Path() + "\" --log \"" + (folder / "sim.log") + "\" --snapshots \"" +
                   (folder / "shots") + "\" --script \"" + folder.Write("run.script", script) + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        DWORD code = STILL_ACTIVE;
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                           &process)) {
            if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        EXPECT_EQ(0u, code) << "the simulator failed, or hung";
        Lines lines;
        std::ifstream file(folder / "sim.log");
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    bool Exists(const char* n) const { return GetFileAttributesA((folder / n).c_str()) != INVALID_FILE_ATTRIBUTES; }
    TempFolder folder;
    RegistryScratch registry{"Simulator"};
};

TEST_F(QuillarSim, PushedTrackListComesUpAndAChangeNoticeReloadsIt) {
    ExpectInOrder(Run("wait 300\nalbum 0\ntrack 2\npush tracks\nwait 100\nsnapshot films\nchanged list\nwait 200\n"
                      "quit\n"),
                  {{"", "plugin Remote Controller Plugin for Quillar (Rembrix Remote Team)"},
                   {"script push tracks", ""}, {"", "sent 0x3009 6 tokens"}, {"", "request 8 -> 2"},
                   {"", "request 19 -> 0"}, {"", "sent 0x3007 3 tokens"},
                   {"snapshot", "snapshot saved " + folder / "shots\\films.png" + " visible=1"},
                   {"script changed list", ""}, {"", "sent 0x1003 key " + folder / "Films"}, {"", "request 128 -> 0"},
                   {"", "request 21 -> 0"}, {"sent 0x3009 6 tokens", ""}, {"request 991 -> 0", ""}, {"exit", ""}});
}

TEST_F(QuillarSim, KeysOpenAlbumsChooseATrackAndDeleteAFile) {
    for (const char* name : {"Films\\c.avi", "Films\\c.smi"}) folder.Write(name, "c");
    ExpectInOrder(Run("setting ShowThumbnail 0\nrestart\nwait 300\nalbum 0\npush tracks\nwait 100\nkey BACK\nwait 200\n"
                      "key DOWN\nkey RETURN\nwait 800\nkey DOWN\nkey RETURN\nwait 800\nstatus\n"
                      "album 0\npush tracks\nwait 100\nkey DOWN\nkey DOWN\nkey DELETE\nkey DELETE\nwait 300\nquit\n"),
                  // Songs opens; its second track plays once the Navigator hides; a.avi, b.mkv remain.
                  {{"script key BACK", ""}, {"request 18 -> 0", ""}, {"command 6008 value 1 extra 3", ""},
                   {"", "request 128 -> 0"}, {"", "request 21 -> 0"}, {"command 5105 value 2 extra 0", ""},
                   {"", "play " + folder / "Songs\\two.mp3"}, {"status", "status visible=0"},
                   {"command 6009 value 0 extra 0", ""}, {"sent 0x3009 6 tokens", ""}});
    EXPECT_TRUE(!Exists("Films\\c.avi") && !Exists("Films\\c.smi") && Exists("Films\\b.mkv"));
}

TEST_F(QuillarSim, RemoteButtonsAndTheHotKeyReachThePlayer) {
    ExpectInOrder(Run("setting HotKey 0x30041\nrestart\nwait 300\nhotkey\nwait 200\nstatus\nappcommand 51\nwait 200\n"
                      "shellhook 13\nwait 100\nstatus\nstreamzap 19\nwait 200\nstatus\nstreamzap 8\nstatus\n"
                      "streamzap 8\nquit\n"),
                  // Stop hides the Navigator; of two 8s, the first hides it, the second goes to the player.
                  {{"script hotkey", ""}, {"request 21 -> 0", ""}, {"status", "status visible=1"},
                   {"script appcommand 51", ""}, {"command 5206 value 1 extra 3", ""}, {"script shellhook 13", ""},
                   {"status", "status visible=0"}, {"script streamzap 19", ""}, {"status", "status visible=1"},
                   {"status", "status visible=0"}, {"command 5102 value 0 extra 0", ""}});
}
