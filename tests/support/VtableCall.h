// Calls an operation of the plug-in interface by its slot in the table, as the player does.
#pragma once

template <typename R, typename... Args>
R CallSlot(void* object, int slot, Args... args) {
#ifdef __i386__
    using Fn = R(__attribute__((thiscall)) *)(void*, Args...);
#else
    using Fn = R (*)(void*, Args...);
#endif
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<Fn>(table[slot])(object, args...);
}
