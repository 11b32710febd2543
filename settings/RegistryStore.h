// A registry key opened under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE at once: reads prefer the
// user's side, writes go to the user's side.
#pragma once

#include <windows.h>

#include <string>

class RegistryStore {
public:
    RegistryStore() = default;
    ~RegistryStore() { Close(); }
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // Opens `path` in both hives for reading; true when either side opened.
    bool Open(const char* path);
    // Creates or opens `path` under `root` as the writable side.
    bool Create(const char* path, HKEY root);
    void Close();

    // The value's data from the side that has it: the number of bytes read, or 0. With no
    // buffer and size 0, the size alone.
    DWORD QueryValue(const char* name, void* buffer, DWORD size, DWORD* type);
    DWORD GetDword(const char* name, DWORD defaultValue);
    std::string GetString(const char* name, const char* defaultValue, bool expand);

    // Writes go to the key that Create opened; Open's keys are for reading.
    bool SetValue(const char* name, const void* data, DWORD size, DWORD type);
    void SetDword(const char* name, DWORD value);
    void SetString(const char* name, const char* text, DWORD type = REG_SZ);
    void DeleteValue(const char* name);

    HKEY UserKey() const { return userKey_; }
    HKEY MachineKey() const { return machineKey_; }

private:
    HKEY userKey_ = nullptr;
    HKEY machineKey_ = nullptr;
};
