#include "settings/RegistryStore.h"

#include <vector>

namespace {

constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;  // 0x2001F
// Reading asks for no more: a standard user is refused write access to HKEY_LOCAL_MACHINE.
constexpr REGSAM kReadAccess = KEY_READ;
constexpr DWORD kMinStringBuffer = 256;
constexpr DWORD kExpandWorkArea = 1024;

HKEY OpenSide(HKEY root, const char* path) {
    HKEY key = nullptr;
    return RegOpenKeyExA(root, path, 0, kReadAccess, &key) == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

bool RegistryStore::Open(const char* path) {
    Close();
    userKey_ = OpenSide(HKEY_CURRENT_USER, path);
    machineKey_ = OpenSide(HKEY_LOCAL_MACHINE, path);
    return userKey_ || machineKey_;
}

bool RegistryStore::Create(const char* path, HKEY root) {
    Close();
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, &userKey_, nullptr) ==
        ERROR_SUCCESS)
        return true;
    userKey_ = nullptr;
    return false;
}

void RegistryStore::Close() {
    if (userKey_) RegCloseKey(userKey_);
    if (machineKey_) RegCloseKey(machineKey_);
    userKey_ = machineKey_ = nullptr;
}

DWORD RegistryStore::QueryValue(const char* name, void* buffer, DWORD size, DWORD* type) {
    DWORD valueType = 0, valueSize = 0;
    HKEY side = userKey_;
    if (!side || RegQueryValueExA(side, name, nullptr, &valueType, nullptr, &valueSize) != ERROR_SUCCESS) {
        side = machineKey_;
        if (!side || RegQueryValueExA(side, name, nullptr, &valueType, nullptr, &valueSize) != ERROR_SUCCESS)
            return 0;
    }
    if (type) *type = valueType;
    if (!buffer && size == 0) return valueSize;
    if (valueSize > size) return 0;
    DWORD got = size;
    if (RegQueryValueExA(side, name, nullptr, &valueType, static_cast<BYTE*>(buffer), &got) != ERROR_SUCCESS)
        return 0;
    if (type) *type = valueType;
    return got;
}

DWORD RegistryStore::GetDword(const char* name, DWORD defaultValue) {
    DWORD value = 0, type = 0;
    if (QueryValue(name, &value, sizeof(value), &type) == sizeof(value) && type == REG_DWORD) return value;
    return defaultValue;
}

std::string RegistryStore::GetString(const char* name, const char* defaultValue, bool expand) {
    DWORD type = 0;
    DWORD size = QueryValue(name, nullptr, 0, &type);
    if (size == 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;

    DWORD capacity = expand ? size * 4 : size;
    if (capacity < kMinStringBuffer) capacity = kMinStringBuffer;
    std::vector<char> buffer(capacity + 1, '\0');  // one more, for data stored without terminator
    DWORD got = QueryValue(name, buffer.data(), capacity, &type);
    if (got == 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
    std::string text(buffer.data());

    if (expand && type == REG_EXPAND_SZ) {
        std::string work = text.substr(0, kExpandWorkArea - 1);
        std::vector<char> expanded(capacity, '\0');
        DWORD needed = ExpandEnvironmentStringsA(work.c_str(), expanded.data(), capacity);
        if (needed == 0 || needed > capacity) return defaultValue;
        text = expanded.data();
    }
    return text;
}

bool RegistryStore::SetValue(const char* name, const void* data, DWORD size, DWORD type) {
    if (!userKey_) return false;
    return RegSetValueExA(userKey_, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

void RegistryStore::SetDword(const char* name, DWORD value) { SetValue(name, &value, sizeof(value), REG_DWORD); }

void RegistryStore::SetString(const char* name, const char* text, DWORD type) {
    SetValue(name, text, static_cast<DWORD>(strlen(text) + 1), type);
}

void RegistryStore::DeleteValue(const char* name) {
    if (userKey_) RegDeleteValueA(userKey_, name);
}
