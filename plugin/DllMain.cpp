// The module's entry points: loading and unloading, and the factory the player calls.
#include <new>

#include "base/ModuleState.h"
#include "plugin/RembrixApp.h"
#include "plugin/RemotePlugin.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH: return theApp.InitInstance(instance) ? TRUE : FALSE;
        case DLL_PROCESS_DETACH: theApp.ExitInstance(); break;
        default: break;
    }
    return TRUE;
}

extern "C" __declspec(dllexport) PluginBase* __cdecl KsPluginCreate(const char* registryBase) {
    ModuleStateScope moduleState;
    return new (std::nothrow) RemotePlugin(registryBase);
}
