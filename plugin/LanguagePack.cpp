#include "plugin/LanguagePack.h"

#include <cstdio>

#include "base/ModuleState.h"
#include "base/ProcAddress.h"
#include "settings/RegistryStore.h"

namespace {

UiLanguageFn g_userLanguage = nullptr;
UiLanguageFn g_systemLanguage = nullptr;

// The high 32 bits of a file's version; 0 when it has none.
DWORD FileVersionMS(const char* path) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size) return 0;
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path, 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return 0;
    return info->dwFileVersionMS;
}

void AddLanguage(std::vector<LANGID>& list, LANGID language) {
    list.push_back(static_cast<LANGID>(ConvertDefaultLocale(language)));
    list.push_back(static_cast<LANGID>(ConvertDefaultLocale(MAKELANGID(PRIMARYLANGID(language), SUBLANG_DEFAULT))));
}

BOOL CALLBACK LastLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<LANGID*>(found) = language;
    return TRUE;
}

}  // namespace

void SetUiLanguageCalls(UiLanguageFn user, UiLanguageFn system) {
    g_userLanguage = user;
    g_systemLanguage = system;
}

int CollectUILanguages(std::vector<LANGID>& list) {
    size_t before = list.size();
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    UiLanguageFn user = g_userLanguage ? g_userLanguage : GetProc<UiLanguageFn>(kernel32, "GetUserDefaultUILanguage");
    UiLanguageFn system =
        g_systemLanguage ? g_systemLanguage : GetProc<UiLanguageFn>(kernel32, "GetSystemDefaultUILanguage");
    if (user) {
        AddLanguage(list, user());
        if (system) AddLanguage(list, system());
    } else if (GetVersion() & 0x80000000) {
        // Older systems keep the user's language as a hexadecimal string.
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\ResourceLocale", 0, KEY_READ, &key) ==
            ERROR_SUCCESS) {
            char text[17] = {};
            DWORD size = 16, type = 0;
            unsigned language = 0;
            if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ && sscanf(text, "%x", &language) == 1)
                AddLanguage(list, static_cast<LANGID>(language));
            RegCloseKey(key);
        }
    } else {
        // The language of the system's own files.
        LANGID language = 0;
        EnumResourceLanguagesA(GetModuleHandleA("ntdll.dll"), MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                               LastLanguage, reinterpret_cast<LONG_PTR>(&language));
        if (language) AddLanguage(list, language);
    }
    return static_cast<int>(list.size() - before);
}

HMODULE TryLanguagePack(LANGID language, const char* modulePath, const std::string& stem, std::string* abbreviation) {
    DWORD version = FileVersionMS(modulePath);
    char name[80] = {};
    if (!GetLocaleInfoA(language, LOCALE_SABBREVLANGNAME, name, sizeof(name))) return nullptr;
    std::string candidate = stem + name;
    if (FileVersionMS(candidate.c_str()) != version) return nullptr;
    *abbreviation = name;
    // A pack is data: none of its code runs inside our load. Older systems refuse the second flag.
    const DWORD asData = LOAD_LIBRARY_AS_DATAFILE;
    HMODULE pack = LoadLibraryExA(candidate.c_str(), nullptr, asData | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return pack ? pack : LoadLibraryExA(candidate.c_str(), nullptr, asData);
}

bool LoadLanguagePack(LanguagePack& pack, const char* key) {
    pack.module = nullptr;
    pack.language.clear();
    bool haveKey = key && *key;
    RegistryStore store;
    if (haveKey) store.Open(key);
    if (haveKey && store.GetDword("UI_LanguagePack_Disable", 0)) return false;

    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(ThisModuleState().instance, path, MAX_PATH);
    if (!length || length >= MAX_PATH) return false;
    std::string stem(path);
    size_t dot = stem.rfind('.');
    stem = dot == std::string::npos ? stem : stem.substr(0, dot + 1);

    std::string abbreviation;
    HMODULE module = nullptr;
    DWORD chosen = haveKey ? store.GetDword("UI_LanguageID", 0) : 0;
    if (chosen) module = TryLanguagePack(static_cast<LANGID>(chosen), path, stem, &abbreviation);
    if (!module) {
        std::vector<LANGID> candidates;
        CollectUILanguages(candidates);
        for (LANGID language : candidates)
            if ((module = TryLanguagePack(language, path, stem, &abbreviation)) != nullptr) break;
    }
    if (!module) return false;
    pack.module = module;
    pack.language = abbreviation;
    ThisModuleState().resources = module;
    return true;
}

void FreeLanguagePack(LanguagePack& pack) {
    if (pack.module) {
        if (ThisModuleState().resources == pack.module) ThisModuleState().resources = ThisModuleState().instance;
        FreeLibrary(pack.module);
    }
    pack.module = nullptr;
    pack.language.clear();
}
