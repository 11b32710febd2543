// The module's application object: set up when the module loads, torn down when it unloads.
#pragma once

#include <windows.h>

#include "plugin/LanguagePack.h"

class RembrixApp {
public:
    bool InitInstance(HINSTANCE instance);
    void ExitInstance();

    LanguagePack languagePack;
};

// Where the language pack settings are: "UI_LanguagePack_Disable" and "UI_LanguageID".
constexpr char kLanguageKey[] = "Software\\Halvorn";

// The one application object of the module.
extern RembrixApp theApp;
