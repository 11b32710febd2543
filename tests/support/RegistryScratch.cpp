#include "tests/support/RegistryScratch.h"

#include <vector>

namespace {

void Remove(const std::string& base) {
    RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, base.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, base.c_str());
}

HKEY CreateKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

}  // namespace

RegistryScratch::RegistryScratch(const std::string& name) : base_("Software\\RembrixTests\\" + name) { Remove(base_); }

RegistryScratch::~RegistryScratch() { Remove(base_); }

void RegistryScratch::SetDword(HKEY root, const std::string& value, DWORD data) const {
    HKEY key = CreateKey(root, SettingsKey());
    RegSetValueExA(key, value.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
    RegCloseKey(key);
}

void RegistryScratch::SetString(HKEY root, const std::string& value, const std::string& data, DWORD type) const {
    HKEY key = CreateKey(root, SettingsKey());
    RegSetValueExA(key, value.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
}

bool RegistryScratch::GetDword(const std::string& value, DWORD* data) const {
    DWORD size = sizeof(*data), type = 0;
    return RegGetValueA(HKEY_CURRENT_USER, SettingsKey().c_str(), value.c_str(), RRF_RT_ANY, &type, data, &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

bool RegistryScratch::GetString(const std::string& value, std::string* data, DWORD* type) const {
    char buffer[1024] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueA(HKEY_CURRENT_USER, SettingsKey().c_str(), value.c_str(), RRF_RT_ANY | RRF_NOEXPAND, type,
                     buffer, &size) != ERROR_SUCCESS)
        return false;
    *data = buffer;
    return true;
}
