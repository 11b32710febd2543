// Text in the ANSI code page: conversion to UTF-16, and comparing names.
#pragma once

#include <windows.h>

// Converts `text` with its terminator into `buffer` of `capacity` characters: 0 means 260, a
// negative capacity writes nothing. Returns the characters written, terminator included; 0 on
// failure.
int AnsiToWide(const char* text, wchar_t* buffer, int capacity);

// Whether two zero-ended names are the same, letter case ignored as the ANSI code page sees it,
// double-byte characters included.
bool SameName(const char* a, const char* b);
