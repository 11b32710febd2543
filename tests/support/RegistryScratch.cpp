#include "tests/support/RegistryScratch.h"

namespace {

void Remove(const std::string& base) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeA(root, base.c_str());
}

}  // namespace

RegistryValue Number(DWORD number) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)}; }
RegistryValue Text(const std::string& text, DWORD type) { return {type, text + '\0'}; }

RegistryScratch::RegistryScratch(const std::string& name) : base_("Software\\RembrixTests\\" + name) { Remove(base_); }

RegistryScratch::~RegistryScratch() { Remove(base_); }

void RegistryScratch::Put(HKEY root, const std::string& value, const RegistryValue& v) const {
    RegSetKeyValueA(root, SettingsKey().c_str(), value.c_str(), v.first, v.second.data(), DWORD(v.second.size()));
}

RegistryValue RegistryScratch::Stored(const std::string& value) const {
    char data[1024];
    DWORD type = 0, size = sizeof(data);
    LSTATUS status = RegGetValueA(HKEY_CURRENT_USER, SettingsKey().c_str(), value.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                                  &type, data, &size);
    return status == ERROR_SUCCESS ? RegistryValue{type, std::string(data, size)} : RegistryValue{0, ""};
}
