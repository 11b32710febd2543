// The remote-input roads of the Navigator's window: raw HID from the Media Center remote,
// application commands (sent directly or through the shell hook), the Streamzap remote, the global
// hot key, and console connects and disconnects. Each turns what arrives into commands for one
// dispatcher; the window hands every message here first.
#pragma once

#include <windows.h>

#include "base/Window.h"
#include "input/CommandTarget.h"

struct PluginSettings;

class RemoteControl {
public:
    // The roads arrive at `window`, whatever handle it has at the time.
    RemoteControl(CommandTarget& target, const Window& window);
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // The settings the roads follow.
    void Attach(const PluginSettings* settings) { settings_ = settings; }
    // The delayed start-up: the shell hook, session notifications, then raw input.
    void Register();
    // At the window's end: the shell hook and session notifications.
    void Unregister();
    // Registers the stored hot key, or gives it up when none is stored.
    void UpdateHotKey();

    // Handles `message` when it arrives by one of the roads: true, with the window procedure's
    // result in `result`; false for any other message.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    bool RegisterRawInput();
    LRESULT OnInput(LPARAM input, WPARAM wParam);
    LRESULT MapAppCommand(LPARAM lParam);
    LRESULT OnAppCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnShellHook(WPARAM event, LPARAM lParam);
    LRESULT OnStreamzap(WPARAM code);
    bool Shown() const;
    HWND Handle() const { return window_.Handle(); }

    CommandTarget& target_;
    const Window& window_;
    const PluginSettings* settings_ = nullptr;
    const UINT shellHookMessage_;
    // Off once a command came by way of the system, or the keyboard program forwards them
    // itself: the shell hook would then deliver each command twice.
    bool appCommandHookEnabled_ = true;
    // While the console is disconnected, application commands are left to the system.
    bool consoleDisconnected_ = false;
};
