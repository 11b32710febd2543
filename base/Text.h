// Text conversion between the ANSI code page and UTF-16.
#pragma once

#include <windows.h>

// Converts `text` with its terminator into `buffer` of `capacity` characters: 0 means 260, a
// negative capacity writes nothing. Returns the characters written, terminator included; 0 on
// failure.
int AnsiToWide(const char* text, wchar_t* buffer, int capacity);
