// Finding the Navigator windows and the property sheets of this process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::vector<HWND> NavigatorWindows();

// The property sheet this thread shows (a dialog with a tab control); null when there is none.
HWND FindPropertySheet();

// The folder of the running test program, with its separator: the build's bin folder.
std::string ProgramFolder();

// Makes `time` the time of the message this thread handles next, as GetMessageTime() reports it
// to a window that is sent one: an input event stamped with that time (the release of a key that
// nothing uses) goes to the focused window through the queue. False when it does not arrive.
bool StampMessageTime(DWORD time);
