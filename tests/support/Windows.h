// Finding the Navigator windows of this process.
#pragma once

#include <windows.h>

#include <vector>

std::vector<HWND> NavigatorWindows();
