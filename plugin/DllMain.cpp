// The module's entry points: loading and unloading, and the factory the player calls.

#include "base/ModuleState.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            try {
                return theApp.InitInstance(instance) ? TRUE : FALSE;
            } catch (...) {
                return FALSE;  // the module does not load
            }
        case DLL_PROCESS_DETACH:
            try {
                theApp.ExitInstance();
            } catch (...) {
            }
            break;
        default: break;
    }
    return TRUE;
}

extern "C" __declspec(dllexport) PluginBase* __cdecl KsPluginCreate(const char* registryBase) try {
    ModuleStateScope moduleState;
    return new RemotePlugin(registryBase);
} catch (...) {
    return nullptr;  // no memory, or a member that could not be made
}
