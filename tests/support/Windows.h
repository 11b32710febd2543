// Finding the Navigator windows and the property sheets of this process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::vector<HWND> NavigatorWindows();

// The property sheet this thread shows (a dialog with a tab control); null when there is none.
HWND FindPropertySheet();
// The popup menu this thread tracks; null when there is none.
HWND FindOpenMenu();
// Once `find` returns a window, hands it to `then`, once: polled from a timer, so that `then` runs
// inside whatever modal loop shows the window. A later call replaces it; a null `find` drops it.
void WhenShown(std::function<HWND()> find, std::function<void(HWND)> then);

// Inside a sheet's loop: shows page `index` and returns it; presses a sheet's button (PSBTN_*) or a
// page's button by id.
HWND ShowPage(HWND sheet, int index);
void Press(HWND sheet, WPARAM button);
void Click(HWND page, int id);

// The folder of the running test program, with its separator: the build's bin folder.
std::string ProgramFolder();

// Whether this program runs with heap checking (GlobalFlag 0x70 in its image options: freed blocks
// filled with 0xFEEEFEEE) and every heap of the process is sound: no write to a freed block, no
// block overrun.
bool HeapsCheckedAndSound();

// Makes `time` the time of the message this thread handles next, as GetMessageTime() reports it
// to a window that is sent one: an input event stamped with that time (the release of a key that
// nothing uses) goes to the focused window through the queue. False when it does not arrive.
bool StampMessageTime(DWORD time);
