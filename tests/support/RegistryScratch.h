// A registry key of a test's own under HKEY_CURRENT_USER (and, when asked, HKEY_LOCAL_MACHINE),
// removed in both hives at the end.
#pragma once

#include <windows.h>

#include <string>

class RegistryScratch {
public:
    explicit RegistryScratch(const std::string& name);
    ~RegistryScratch();

    // The base path a plug-in would be given, e.g. Software\RembrixTests\<name>.
    const std::string& Base() const { return base_; }
    // The settings key below it: <base>\Rembrix\OSCSettings.
    std::string SettingsKey() const { return base_ + "\\Rembrix\\OSCSettings"; }

    void SetDword(HKEY root, const std::string& value, DWORD data) const;
    void SetString(HKEY root, const std::string& value, const std::string& data, DWORD type = REG_SZ) const;
    bool GetDword(const std::string& value, DWORD* data) const;  // from HKEY_CURRENT_USER
    bool GetString(const std::string& value, std::string* data, DWORD* type) const;

private:
    std::string base_;
};
