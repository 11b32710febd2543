// Platform functions that older systems lack are looked up by name at run time; a missing one
// comes back null and switches its feature off.
#pragma once

#include <windows.h>

template <typename Fn>
Fn GetProc(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
