// The player simulator: whole scripted runs of QuillarSim.exe, in which it serves its media library
// and answers the Navigator's requests. It runs from a player's folder of its own, whose
// "ksl_ximage.dll" is a foreign module, as the player's own image library would be to the plug-in.
#include <gtest/gtest.h>
#include <fstream>

#include "tests/support/Pictures.h"
#include "tests/support/RegistryScratch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Windows.h"

namespace {
using Lines = std::vector<std::string>;

constexpr COLORREF kSideImage = RGB(220, 0, 220);

// Films: a.avi (3 bytes), b.mkv (1 byte), their side images (a magenta picture, a broken one) and
// subtitles, a hidden file; Songs: one.mp3, two.mp3; the playlist Mix.m3u: Songs\two.mp3, Films\a.avi.
void MakeLibrary(const TempFolder& folder) {
    for (const char* album : {"Films", "Songs"}) CreateDirectoryA((folder / album).c_str(), nullptr);
    folder.Write("Films\\a.JPG", EncodedPicture(160, 120, kSideImage, CXIMAGE_FORMAT_JPG));
    const std::pair<const char*, const char*> files[] = {{"Films\\a.avi", "aaa"}, {"Films\\b.mkv", "b"},
        {"Films\\b.thm", "thm"}, {"Films\\a.smi", "subtitles"}, {"Songs\\one.mp3", "1"},
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

class QuillarSim : public ::testing::Test {
protected:
    void SetUp() override {
        MakeLibrary(folder);
        for (std::string name : {"QuillarSim.exe", "Rembrix.dll", "KsXTag.dll", "foreign\\ksl_ximage.dll"})
            CopyFileA((ProgramFolder() + name).data(), (player / name.substr(name.find('\\') + 1)).data(), FALSE);
    }
    // The log of a run of the script; the run must end by itself, with exit code 0.
    Lines Run(const std::string& script) {
        std::string command = "\"" + (player / "QuillarSim.exe") + "\" --registry Software\\RembrixTests\\Simulator";
        command += " --library \"" + folder.Path() + "\" --log \"" + (folder / "sim.log") + "\" --snapshots \"" +
                   shots.Path() + "\" --script \"" + folder.Write("run.script", script) + "\"";
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
    TempFolder player, folder, shots;  // the snapshots beside the library, not in it
    RegistryScratch registry{"Simulator"};
};

TEST_F(QuillarSim, PushedTrackListComesUpWithItsSideImageAndAChangeNoticeReloadsIt) {
    ExpectInOrder(Run("wait 300\nalbum 0\ntrack 2\npush tracks\nwait pictures\nsnapshot films\nchanged list\n"
                      "wait 200\nquit\n"),
                  {{"", "plugin Remote Controller Plugin for Quillar (Rembrix Remote Team)"},
                   {"script push tracks", ""}, {"", "sent 0x3009 6 tokens"}, {"", "request 8 -> 2"},
                   {"", "request 19 -> 0"}, {"", "sent 0x3007 3 tokens"},
                   {"pictures 2 of 2 tracks, 1 with a picture", ""},
                   {"snapshot", "snapshot saved " + shots / "films.png" + " visible=1"},
                   {"script changed list", ""}, {"", "sent 0x1003 key " + folder / "Films"}, {"", "request 128 -> 0"},
                   {"", "request 21 -> 0"}, {"sent 0x3009 6 tokens", ""}, {"request 991 -> 0", ""}, {"exit", ""}});
    EXPECT_GT(PixelsNear(shots / "films.png", kSideImage), 5000) << "a.avi's side image is not drawn";
}

TEST_F(QuillarSim, KeysOpenAlbumsChooseATrackAndDeleteAFile) {
    for (const char* name : {"Films\\c.avi", "Films\\c.smi"}) folder.Write(name, "c");
    ExpectInOrder(Run("setting ShowThumbnail 0\nrestart\nwait 300\nalbum 2\npush tracks\nwait 100\nkey BACK\nwait 200\n"
                      "key UP\nkey RETURN\nwait 800\nkey DOWN\nkey RETURN\nwait 800\nstatus\n"
                      "album 0\npush tracks\nwait 100\nkey DOWN\nkey DOWN\nkey DELETE\nwait 500\nkey DELETE\nwait 300\n"
                      "quit\n"),
                  // The playlist Mix holds two tracks; the album list (Films, Songs, Mix) selects it, the current
                  // album; Songs above it opens; its second track plays once the Navigator hides; a.avi, b.mkv remain.
                  {{"script push tracks", ""}, {"sent 0x3009", "sent 0x3009 6 tokens"}, {"script key BACK", ""},
                   {"request 18 ", "request 18 -> 0"}, {"sent 0x3006", "sent 0x3006 9 tokens"},
                   {"request 15 ", "request 15 -> 0"}, {"sent 0x3004", "sent 0x3004 key " + folder / "Mix.m3u"},
                   {"command 6008", "command 6008 value 1 extra 3"}, {"", "request 128 -> 0"}, {"", "request 21 -> 0"},
                   {"command 5105 value 2 extra 0", ""},
                   {"", "play " + folder / "Songs\\two.mp3"}, {"status", "status visible=0"},
                   {"command 6009 value 0 extra 0", ""}, {"sent 0x3009 6 tokens", ""}});
    EXPECT_TRUE(!Exists("Films\\c.avi") && !Exists("Films\\c.smi") && Exists("Films\\b.mkv"));
}
