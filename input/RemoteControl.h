// The remote-input roads of the Navigator's window: raw HID from the Media Center remote,
// application commands (sent directly or through the shell hook), the Streamzap remote, the global
// hot key, and console connects and disconnects. Each turns what arrives into commands for one
// dispatcher; the window hands every message here first.
#pragma once

#include <windows.h>

#include "base/Window.h"
#include "input/CommandTarget.h"

class RemoteControl {
public:
    // The roads arrive at `window`, whatever handle it has at the time.
    RemoteControl(CommandTarget& target, const Window& window);
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // The delayed start-up: the shell hook, session notifications, then raw input.
    void Register();
    // At the window's end: the shell hook and session notifications.
    void Unregister();
    // Registers `hotKey` as the settings store it, or gives the hot key up when it is none.
    void UpdateHotKey(DWORD hotKey);

    // Handles `message` when it arrives by one of the roads: true, with the window procedure's
    // result in `result`; false for any other message. While the remotes are switched off
    // (`active` false) their buttons are ignored; the hot key works all the same.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool active, LRESULT* result);

private:
    bool RegisterRawInput();
    LRESULT OnInput(LPARAM input, WPARAM wParam, bool active);
    LRESULT MapAppCommand(LPARAM lParam, bool active);
    LRESULT OnAppCommand(WPARAM wParam, LPARAM lParam, bool active);
    LRESULT OnShellHook(WPARAM event, LPARAM lParam, bool active);
    LRESULT OnStreamzap(WPARAM code, bool active);
    bool Shown() const;
    HWND Handle() const { return window_.Handle(); }

    CommandTarget& target_;
    const Window& window_;
    const UINT shellHookMessage_;
    // Off once a command came by way of the system, or the keyboard program forwards them
    // itself: the shell hook would then deliver each command twice.
    bool appCommandHookEnabled_ = true;
    // While the console is disconnected, application commands are left to the system.
    bool consoleDisconnected_ = false;
};
