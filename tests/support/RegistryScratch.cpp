#include "tests/support/RegistryScratch.h"

namespace {

void Remove(const std::string& base) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeA(root, base.c_str());
}

}  // namespace

RegistryScratch::RegistryScratch(const std::string& name) : base_("Software\\RembrixTests\\" + name) { Remove(base_); }

RegistryScratch::~RegistryScratch() { Remove(base_); }

void RegistryScratch::SetDword(HKEY root, const std::string& value, DWORD data) const {
    RegSetKeyValueA(root, SettingsKey().c_str(), value.c_str(), REG_DWORD, &data, sizeof(data));
}

void RegistryScratch::SetString(HKEY root, const std::string& value, const std::string& data, DWORD type) const {
    RegSetKeyValueA(root, SettingsKey().c_str(), value.c_str(), type, data.c_str(),
                    static_cast<DWORD>(data.size() + 1));
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
