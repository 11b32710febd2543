#include "plugin/RembrixApp.h"

#include "base/ModuleState.h"

UINT g_streamzapMessage = 0;

RembrixApp theApp;

bool RembrixApp::InitInstance(HINSTANCE instance) {
    g_streamzapMessage = RegisterWindowMessageA(kStreamzapMessageName);
    ModuleState& state = ThisModuleState();
    state.instance = instance;
    // Until a language pack is chosen, the module's own resources serve.
    state.resources = instance;
    return true;
}

void RembrixApp::ExitInstance() {}
