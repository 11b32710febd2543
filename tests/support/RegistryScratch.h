// A registry key of a test's own under HKEY_CURRENT_USER (and, when asked, HKEY_LOCAL_MACHINE),
// removed in both hives at the end.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// A registry value as stored: its type (0: missing) and its bytes (a string's with its terminator).
using RegistryValue = std::pair<DWORD, std::string>;
RegistryValue Number(DWORD number);
RegistryValue Text(const std::string& text, DWORD type = REG_SZ);

class RegistryScratch {
public:
    explicit RegistryScratch(const std::string& name);
    ~RegistryScratch();

    // The base path a plug-in would be given, e.g. Software\RembrixTests\<name>.
    const std::string& Base() const { return base_; }
    // The settings key below it: <base>\Rembrix\OSCSettings.
    std::string SettingsKey() const { return base_ + "\\Rembrix\\OSCSettings"; }

    void SetDword(HKEY root, const std::string& value, DWORD data) const { Put(root, value, Number(data)); }
    // Any value under the settings key: written under `root`, read as stored under HKEY_CURRENT_USER.
    void Put(HKEY root, const std::string& value, const RegistryValue& v) const;
    RegistryValue Stored(const std::string& value) const;

private:
    std::string base_;
};
