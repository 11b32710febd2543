// Code that a language pack must never run: loaded as a pack, this module leaves a mark if it does.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableA("LONG_STRINGS_CODE_RAN", "1");
    return TRUE;
}
