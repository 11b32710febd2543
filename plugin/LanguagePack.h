// The language pack: a resource-only module beside this one ("Rembrix.DEU" for German), loaded as
// data, whose menus, dialogs and strings replace the module's English ones; what it lacks comes
// from the module.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct LanguagePack {
    HMODULE module = nullptr;  // null: the module's own resources
    std::string language;      // the loaded pack's abbreviation, e.g. "DEU"
};

// Chooses and loads a pack as the registry key ("Software\Halvorn") and the user's and system's
// UI languages say, and makes it the resource module; true when one was loaded.
bool LoadLanguagePack(LanguagePack& pack, const char* key);
void FreeLanguagePack(LanguagePack& pack);

// The pack for `language` beside the module (`stem` is the module's path cut after its last
// '.'), when its file version matches the module's in major and minor; null otherwise.
HMODULE TryLanguagePack(LANGID language, const char* modulePath, const std::string& stem, std::string* abbreviation);

// The candidate languages in the order they are tried, two per language found.
int CollectUILanguages(std::vector<LANGID>& list);

// Where CollectUILanguages asks for the user's and the system's UI languages: kernel32, or a
// stand-in (tests). Null restores kernel32's.
using UiLanguageFn = LANGID(WINAPI*)();
void SetUiLanguageCalls(UiLanguageFn user, UiLanguageFn system);
