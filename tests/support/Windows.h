// Finding the Navigator windows of this process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::vector<HWND> NavigatorWindows();

// The folder of the running test program, with its separator: the build's bin folder.
std::string ProgramFolder();
