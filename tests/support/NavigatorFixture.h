// A Navigator window in the test process, with its settings in a registry key of the test's own
// and a fake player that records what the window sends.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigator/NavigatorWnd.h"
#include "navigator/PlayerProtocol.h"
#include "plugin/RembrixApp.h"
#include "tests/support/FakePlayer.h"
#include "tests/support/RegistryScratch.h"
#include "tools/snapshot/WindowCapture.h"

using Messages = std::vector<PlayerMessage>;

class NavigatorFixture : public ::testing::Test {
protected:
    NavigatorFixture() : registry(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        theApp.InitInstance(GetModuleHandleA(nullptr));
    }

    void LoadSettings() { settings.Load((registry.Base() + "\\Rembrix").c_str()); }
    // Creates the window and lets its delayed start-up run.
    void Start() {
        LoadSettings();
        ASSERT_TRUE(nav.CreateNavigator(&settings));
        ASSERT_TRUE(PumpUntil([&] { return !player.Requests().empty(); }, 2000));
        player.Clear();
    }
    HWND Window() const { return nav.Handle(); }
    // Requests of this window, as the player records them.
    PlayerMessage Asked(UINT code) const { return Request(Window(), code); }
    Messages Asks(std::initializer_list<UINT> codes) const;

    // The player sends a track list of `count` files named clip001.avi, clip002.avi, ...
    void SendTracks(int count, const char* folder = "D:\\Video\\");
    // The album list of `tokens` (key, name, qualifier), shown with the album of key `select`.
    void ShowAlbums(const std::vector<std::string>& tokens, const std::string& select);

    RegistryScratch registry;
    PluginSettings settings = {};
    FakePlayer player;
    NavigatorWnd nav;
};
