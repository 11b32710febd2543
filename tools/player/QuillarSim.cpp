// QuillarSim: a stand-in for the Quillar player. It opens the player's remote-control window,
// loads a plug-in through KsPluginCreate, serves a media library over the player's message
// protocol, logs every exchange, and can be driven by a script instead of a person.
//
//   QuillarSim.exe [--plugin PATH] [--library DIR] [--log FILE] [--script FILE]
//                  [--snapshots DIR] [--registry KEY] [--language LANGID]
//
// --language sets the user's choice of interface language (HKEY_CURRENT_USER\Software\Halvorn,
// "UI_LanguageID") for the time of the run: the plug-in picks its language pack when it loads.
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Paths.h"
#include "navigator/PlayerProtocol.h"
#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "tools/player/CacheReport.h"
#include "tools/player/SimPlayer.h"
#include "tools/snapshot/WindowCapture.h"

namespace {

constexpr char kStreamzapMessage[] = "3E4CA449-C26F-47c6-A124-D66589CFA12F";
// What the plug-in's thumbnail worker posts to its window: a serial and a bitmap, or 0.
constexpr UINT kThumbnailReady = WM_APP + 0xC13;
constexpr DWORD kPictureWaitMs = 15000;
constexpr DWORD kPictureQuietMs = 100;

struct Options {
    std::string plugin;
    std::string library = ".";
    std::string log;
    std::string script;
    std::string snapshots = ".";
    std::string registry = "Software\\Halvorn\\QuillarSim";
    DWORD language = 0;
};

constexpr char kLanguageKey[] = "Software\\Halvorn";
constexpr char kLanguageValue[] = "UI_LanguageID";

// Dispatches this thread's messages for `ms` milliseconds (0: what is queued now).
void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            if (msg.message == kThumbnailReady) {
                ++g_pictures.arrived;
                if (msg.lParam) ++g_pictures.withPicture;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

UINT VirtualKey(std::string name) {
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    static const struct { const char* name; UINT key; } kKeys[] = {
        {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},
        {"ENTER", VK_RETURN},  {"RETURN", VK_RETURN}, {"ESC", VK_ESCAPE},    {"ESCAPE", VK_ESCAPE},
        {"BACK", VK_BACK},     {"BACKSPACE", VK_BACK}, {"PAGEUP", VK_PRIOR}, {"PRIOR", VK_PRIOR},
        {"PAGEDOWN", VK_NEXT}, {"NEXT", VK_NEXT},     {"HOME", VK_HOME},     {"END", VK_END},
        {"DELETE", VK_DELETE}, {"SPACE", VK_SPACE},   {"TAB", VK_TAB},
    };
    for (const auto& k : kKeys)
        if (name == k.name) return k.key;
    if (name.size() == 1 && isalnum(static_cast<unsigned char>(name[0]))) return static_cast<UINT>(name[0]);
    if (name.size() >= 2 && name[0] == 'F' && isdigit(static_cast<unsigned char>(name[1])))
        return VK_F1 + atoi(name.c_str() + 1) - 1;
    return static_cast<UINT>(strtoul(name.c_str(), nullptr, 0));
}

void PressKey(HWND navigator, std::string key) {
    bool ctrl = key.size() > 5 && _strnicmp(key.c_str(), "ctrl+", 5) == 0;
    if (ctrl) key = key.substr(5);
    UINT vk = VirtualKey(key);
    BYTE state[256];
    GetKeyboardState(state);
    BYTE saved = state[VK_CONTROL];
    if (ctrl) {
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
    }
    // Posted, so that each press carries the time it was made, as a key from the queue does.
    LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
    PostMessageA(navigator, WM_KEYDOWN, vk, 1 | scan);
    PostMessageA(navigator, WM_KEYUP, vk, 1 | scan | (3u << 30));
    Pump(0);
    if (ctrl) {
        state[VK_CONTROL] = saved;
        SetKeyboardState(state);
    }
}

void Click(HWND navigator, int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(navigator, WM_MOUSEMOVE, 0, at);
    SendMessageA(navigator, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(navigator, WM_LBUTTONUP, 0, at);
}

void Wheel(HWND navigator, int notches) {
    RECT rect;
    GetWindowRect(navigator, &rect);
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(navigator, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), at);
}

// Writes a setting of the plug-in as its options sheet would store it.
void WriteSetting(const Options& options, const std::string& name, DWORD value) {
    std::string key = options.registry + "\\Rembrix\\OSCSettings";
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
}

// Presses the plug-in's hot key as stored in its settings, through the system's input queue.
void PressHotKey(const Options& options) {
    std::string key = options.registry + "\\Rembrix\\OSCSettings";
    DWORD hotKey = 0, size = sizeof(hotKey);
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "HotKey", RRF_RT_REG_DWORD, nullptr, &hotKey, &size) !=
            ERROR_SUCCESS ||
        (hotKey & 0xFFFF) == 0) {
        Log("error no hot key is set");
        return;
    }
    std::vector<WORD> codes;
    if (hotKey & 0x00040000) codes.push_back(VK_MENU);
    if (hotKey & 0x00020000) codes.push_back(VK_CONTROL);
    if (hotKey & 0x00010000) codes.push_back(VK_SHIFT);
    codes.push_back(static_cast<WORD>(hotKey & 0xFFFF));
    std::vector<INPUT> keys(codes.size() * 2);
    for (size_t i = 0; i < codes.size(); ++i) {
        keys[i].type = keys[keys.size() - 1 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[keys.size() - 1 - i].ki.wVk = codes[i];
        keys[keys.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

// The script: its lines, the next one to run, and what its actions reach.
struct Script {
    std::vector<std::string> lines;
    size_t next = 0;
    Player* player = nullptr;
    const Options* options = nullptr;
    ControlPluginBase* plugin = nullptr;
} g_script;

enum LineResult { Next, Ended, Quit };
LineResult RunLine(const std::string& line);

// The options sheet of this thread: a dialog with a tab control.
BOOL CALLBACK IsSheet(HWND hwnd, LPARAM found) {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (strcmp(name, "#32770") || !FindWindowExA(hwnd, nullptr, "SysTabControl32", nullptr)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

HWND FindSheet() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), IsSheet, reinterpret_cast<LPARAM>(&found));
    return found;
}

constexpr LineResult SheetEnded = Ended;

// One action on the open sheet: page N, click ID, check ID 0|1, text ID VALUE, select ID INDEX,
// snapshot NAME, ok, cancel.
LineResult SheetAction(std::istringstream& words) {
    HWND sheet = FindSheet();
    std::string verb;
    words >> verb;
    if (!sheet) {
        Log("error no options sheet is open");
        return Next;
    }
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    int id = 0;
    if (verb == "page") {
        int index = 0;
        words >> index;
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else if (verb == "click") {
        words >> id;
        SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
    } else if (verb == "check") {
        int on = 0;
        words >> id >> on;
        if ((SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED) != (on != 0))
            SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
    } else if (verb == "text") {
        std::string text;
        words >> id;
        std::getline(words >> std::ws, text);
        SetDlgItemTextA(page, id, text.c_str());
    } else if (verb == "select") {
        int index = 0;
        words >> id >> index;
        SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    } else if (verb == "snapshot") {
        std::string name;
        words >> name;
        std::string path = g_script.options->snapshots + "\\" + name + ".png";
        bool saved = WindowCapture(sheet, WindowCapture::Source::Screen).SavePng(path);
        Log("snapshot %s %s", saved ? "saved" : "failed", path.c_str());
    } else if (verb == "ok" || verb == "cancel") {
        constexpr WPARAM kPressOk = 3, kPressCancel = 5;  // PSBTN_OK, PSBTN_CANCEL
        SendMessageA(sheet, PSM_PRESSBUTTON, verb == "ok" ? kPressOk : kPressCancel, 0);
        return SheetEnded;
    } else {
        Log("error unknown sheet action %s", verb.c_str());
    }
    return Next;
}

// Runs script lines until the end, `quit`, or (inside the sheet) the line that ends the sheet.
LineResult RunLines() {
    while (g_script.next < g_script.lines.size()) {
        LineResult result = RunLine(g_script.lines[g_script.next++]);
        if (result != Next) return result;
    }
    return Quit;
}

// Runs the script's next lines inside a modal loop (the options sheet's, the tray menu's) until
// one of them ends it.
void CALLBACK ModalLines(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    // What the loop shows may still be on its way: give it a moment before the first action.
    Pump(100);
    RunLines();
}

// The screen area of the tray menu and its open submenus, while it is tracked; empty without one.
RECT MenuArea() {
    RECT area = {};
    HWND menu = nullptr;
    while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) != nullptr) {
        RECT rect;
        if (IsWindowVisible(menu) && GetWindowRect(menu, &rect)) UnionRect(&area, &area, &rect);
    }
    return area;
}

// Keys pressed through the system's input queue, for the menu's own loop to read.
void PressKeys(std::istringstream& words) {
    for (std::string name; words >> name;) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = static_cast<WORD>(VirtualKey(name));
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
}

// The tray icon: dblclick, menu (a right-click; the lines after it run while the menu is open),
// and inside the menu: keys KEY..., snapshot NAME, choose ID, close.
LineResult TrayAction(std::istringstream& words, HWND navigator) {
    constexpr UINT kTrayCallback = WM_APP + 0x81, kTrayIcon = 100;
    std::string verb;
    words >> verb;
    if (verb == "dblclick") {
        SendMessageA(navigator, kTrayCallback, kTrayIcon, WM_LBUTTONDBLCLK);
    } else if (verb == "menu") {
        SetTimer(nullptr, 0, 200, ModalLines);
        SendMessageA(navigator, kTrayCallback, kTrayIcon, WM_RBUTTONUP);
        Log("menu closed");
    } else if (verb == "snapshot") {
        std::string name;
        words >> name;
        std::string path = g_script.options->snapshots + "\\" + name + ".png";
        RECT area = MenuArea();
        bool saved = !IsRectEmpty(&area) && WindowCapture(area).SavePng(path);
        Log("snapshot %s %s", saved ? "saved" : "failed", path.c_str());
    } else if (verb == "keys") {
        // The menu must read them before the next line: it runs from the next timer.
        PressKeys(words);
        SetTimer(nullptr, 0, 300, ModalLines);
        return Ended;
    } else if (verb == "choose" || verb == "close") {
        // What the menu does when an item is clicked: it closes and posts the item's command.
        UINT id = 0;
        words >> id;
        EndMenu();
        if (verb == "choose") PostMessageA(navigator, WM_COMMAND, id, 0);
        return Ended;
    } else {
        Log("error unknown tray action %s", verb.c_str());
    }
    return Next;
}

LineResult RunLine(const std::string& text) {
    std::string line = text;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string action;
    if (!(words >> action) || action[0] == '#') return Next;
    Log("script %s", line.c_str());
    Player& player = *g_script.player;
    const Options& options = *g_script.options;
    ControlPluginBase* plugin = g_script.plugin;
    static const UINT streamzap = RegisterWindowMessageA(kStreamzapMessage);
    HWND navigator = g_script.player->Navigator();
    if (action == "wait") {
        std::string what;
        words >> what;
        if (what == "pictures") {
            // Until every track of the last list has its result, the picture or none, and no
            // more come: a late result of the list before may have counted too.
            DWORD start = GetTickCount();
            while (g_pictures.arrived < g_pictures.tracks && GetTickCount() - start < kPictureWaitMs) Pump(10);
            for (size_t seen = 0; seen != g_pictures.arrived;) {
                seen = g_pictures.arrived;
                Pump(kPictureQuietMs);
            }
            Log("pictures %u of %u tracks, %u with a picture, in %lu ms",
                static_cast<unsigned>(g_pictures.arrived), static_cast<unsigned>(g_pictures.tracks),
                static_cast<unsigned>(g_pictures.withPicture), GetTickCount() - start);
        } else {
            Pump(static_cast<DWORD>(strtoul(what.c_str(), nullptr, 10)));
        }
    } else if (action == "key") {
        std::string key;
        words >> key;
        PressKey(navigator, key);
    } else if (action == "wheel") {
        int notches = 0;
        words >> notches;
        Wheel(navigator, notches);
    } else if (action == "click") {
        int x = 0, y = 0;
        words >> x >> y;
        Click(navigator, x, y);
    } else if (action == "appcommand") {
        int command = 0;
        words >> command;
        SendMessageA(navigator, WM_APPCOMMAND, reinterpret_cast<WPARAM>(navigator), MAKELPARAM(0, command));
    } else if (action == "streamzap") {
        int code = 0;
        words >> code;
        SendMessageA(navigator, streamzap, static_cast<WPARAM>(code), 0);
    } else if (action == "hotkey") {
        PressHotKey(options);
    } else if (action == "shellhook") {
        // What the shell forwards to a window registered for its hook: an application command.
        constexpr WPARAM kShellAppCommand = 12;
        int command = 0;
        words >> command;
        SendMessageA(navigator, RegisterWindowMessageA("ShellHook"), kShellAppCommand, MAKELPARAM(0, command));
    } else if (action == "state") {
        long state = 0;
        words >> state;
        player.SetState(state);
    } else if (action == "disc") {
        std::string on;
        words >> on;
        player.SetDisc(on == "on");
    } else if (action == "album") {
        size_t album = 0;
        words >> album;
        player.SetAlbum(album);
    } else if (action == "track") {
        int track = 1;
        words >> track;
        player.SetTrack(track);
    } else if (action == "push") {
        player.SendTracks();
    } else if (action == "changed") {
        std::string which;
        words >> which;
        player.AnnounceChange(which == "lists");
    } else if (action == "snapshot") {
        std::string name;
        words >> name;
        std::string path = options.snapshots + "\\" + name + ".png";
        // A shown Navigator is taken as it looks, with whatever was drawn straight onto it.
        bool shown = IsWindowVisible(navigator) != FALSE;
        bool saved = WindowCapture(navigator, shown ? WindowCapture::Source::Screen : WindowCapture::Source::Render)
                         .SavePng(path);
        Log("snapshot %s %s visible=%d", saved ? "saved" : "failed", path.c_str(), IsWindowVisible(navigator) ? 1 : 0);
    } else if (action == "setting") {
        std::string name, value;
        words >> name >> value;
        WriteSetting(options, name, static_cast<DWORD>(strtoul(value.c_str(), nullptr, 0)));
    } else if (action == "restart") {
        Log("stop -> %d", plugin->Stop());
        Log("start -> %d", plugin->Start(0, 0, 0, 0));
    } else if (action == "status") {
        Log("status visible=%d", IsWindowVisible(navigator) ? 1 : 0);
    } else if (action == "configure") {
        // The sheet is modal: the script's next lines run inside its loop, from a timer.
        SetTimer(nullptr, 0, 200, ModalLines);
        plugin->Configure(player.Handle());
        Log("configure returned");
    } else if (action == "tray") {
        if (TrayAction(words, navigator) == Ended) return Ended;
    } else if (action == "sheet") {
        if (SheetAction(words) == SheetEnded) return Ended;
    } else if (action == "quit") {
        return Quit;
    } else {
        Log("error unknown action %s", action.c_str());
    }
    Pump(0);
    return Next;
}

// Runs the script's actions in order, until its end or `quit`.
void RunScript(Player& player, const Options& options, ControlPluginBase* plugin) {
    std::ifstream file(options.script);
    if (!file) {
        Log("error cannot read script %s", options.script.c_str());
        return;
    }
    g_script = {};
    for (std::string line; std::getline(file, line);) g_script.lines.push_back(line);
    g_script.player = &player;
    g_script.options = &options;
    g_script.plugin = plugin;
    while (RunLines() == Ended) {
    }
}

std::string DefaultPlugin() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + "Rembrix.dll";
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    options.plugin = DefaultPlugin();
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--plugin") options.plugin = value;
        else if (name == "--library") options.library = value;
        else if (name == "--log") options.log = value;
        else if (name == "--script") options.script = value;
        else if (name == "--snapshots") options.snapshots = value;
        else if (name == "--registry") options.registry = value;
        else if (name == "--language") options.language = static_cast<DWORD>(strtoul(value.c_str(), nullptr, 0));
        else {
            fprintf(stderr, "QuillarSim: unknown option %s\n", name.c_str());
            return 2;
        }
    }
    if (!options.log.empty()) g_logFile = fopen(options.log.c_str(), "w");
    CreateDirectoryA(options.snapshots.c_str(), nullptr);

    Player player(options.library);
    if (!player.Create()) {
        Log("error cannot create the player window");
        return 1;
    }
    if (options.language)
        RegSetKeyValueA(HKEY_CURRENT_USER, kLanguageKey, kLanguageValue, REG_DWORD, &options.language,
                        sizeof(options.language));
    HMODULE module = LoadLibraryA(options.plugin.c_str());
    auto create = module ? reinterpret_cast<KsPluginCreateFn>(
                               reinterpret_cast<void*>(GetProcAddress(module, "KsPluginCreate")))
                         : nullptr;
    if (!create) {
        Log("error cannot load plugin %s", options.plugin.c_str());
        return 1;
    }
    auto* plugin = static_cast<ControlPluginBase*>(create(options.registry.c_str()));
    if (!plugin) {
        Log("error KsPluginCreate returned null");
        return 1;
    }
    PluginInfoRecord record;
    plugin->GetPluginInfo(&record);
    Log("plugin %s (%s)", record.name, record.maker);
    Log("start -> %d", plugin->Start(0, 0, 0, 0));

    // The thumbnail caches of the album folders, before and after the run.
    std::vector<std::pair<std::string, CacheReport>> caches;
    for (const Album& album : player.Library().Albums()) {
        if (album.playlist) continue;
        caches.push_back({album.key, ReadCacheReport(album.key)});
        Log("cache %s: %s", album.name.c_str(), caches.back().second.Describe().c_str());
    }

    if (!options.script.empty()) {
        RunScript(player, options, plugin);
    } else {
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    Log("stop -> %d", plugin->Stop());
    for (const auto& [folder, before] : caches) {
        CacheReport after = ReadCacheReport(folder);
        const char* change = !after.present && !before.present ? ""
                             : after.RewrittenSince(before)     ? ", rewritten in this run"
                                                                : ", untouched in this run: nothing extracted";
        Log("cache %s: %s%s", GetFileNamePart(folder, true).c_str(), after.Describe().c_str(), change);
    }
    plugin->DeletingDestructor(1);
    FreeLibrary(module);
    if (options.language) RegDeleteKeyValueA(HKEY_CURRENT_USER, kLanguageKey, kLanguageValue);
    DestroyWindow(player.Handle());
    Log("exit");
    if (g_logFile) fclose(g_logFile);
    return 0;
}
