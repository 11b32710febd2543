#include "base/ModuleHold.h"

namespace {

// Freeing the last reference from the thread that held it would unmap the code it returns
// through. A thread of ours takes the reference over instead: it waits until the holding thread
// answers a message sent to a window of the system's class, which that thread does only once it
// pumps again (back in the player's loop, or inside another loop of ours, which holds the module
// itself), then frees the module and ends without returning into it.
DWORD WINAPI LetGoWhenPumped(void* marker) {
    HWND window = static_cast<HWND>(marker);
    SendMessageA(window, WM_NULL, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&LetGoWhenPumped), &self);
    FreeLibraryAndExitThread(self, 0);
}

}  // namespace

ModuleHold::ModuleHold() {
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&LetGoWhenPumped),
                            &module_))
        module_ = nullptr;
}

ModuleHold::~ModuleHold() {
    if (!module_) return;
    HWND marker = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HANDLE thread = marker ? CreateThread(nullptr, 0, LetGoWhenPumped, marker, 0, nullptr) : nullptr;
    if (thread) {
        CloseHandle(thread);
        return;
    }
    // With no thread to hand it to, the reference stays: a module left loaded is safe, one
    // unloaded under our frames is not.
    if (marker) DestroyWindow(marker);
}
