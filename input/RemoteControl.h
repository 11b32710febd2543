// The remote-input roads of the Navigator's window: raw HID from the Media Center remote,
// application commands (sent directly or through the shell hook), the Streamzap remote, the global
// hot key, and console connects and disconnects. Each turns what arrives into commands for one
// dispatcher; the window hands every message here first.
#pragma once

#include <windows.h>

#include "input/Commands.h"

struct PluginSettings;

class RemoteControl {
public:
    explicit RemoteControl(CommandTarget& target);
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // The window the roads arrive at, and the settings they follow.
    void Attach(HWND window, const PluginSettings* settings);
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

    CommandTarget& target_;
    HWND window_ = nullptr;
    const PluginSettings* settings_ = nullptr;
    const UINT shellHookMessage_;
    // Off once a command came by way of the system, or the keyboard program forwards them
    // itself: the shell hook would then deliver each command twice.
    bool appCommandHookEnabled_ = true;
    // While the console is disconnected, application commands are left to the system.
    bool consoleDisconnected_ = false;
};
