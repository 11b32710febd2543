#include "plugin/RembrixApp.h"

#include "base/ModuleState.h"
#include "navigator/NavigatorWnd.h"
#include "settings/RegisteredMessages.h"

RembrixApp theApp;

bool RembrixApp::InitInstance(HINSTANCE instance) {
    RegisterModuleMessages();
    FreeLanguagePack(languagePack);
    ModuleState& state = ThisModuleState();
    state.instance = instance;
    // The module's own resources serve unless a language pack takes over.
    state.resources = instance;
    LoadLanguagePack(languagePack, kLanguageKey);
    return true;
}

void RembrixApp::ExitInstance() {
    // A class left registered would keep the window procedure of an unloaded module.
    UnregisterClassA(kNavigatorClassName, ThisModuleState().instance);
    FreeLanguagePack(languagePack);
}
