#include "plugin/RemotePlugin.h"

#include <cstring>

#include "base/ModuleState.h"
#include "res/resource.h"

namespace {

constexpr char kPluginKey[] = "\\Rembrix";

// The numbers after the strings, at offsets 1188 to 1216, as the player expects them.
constexpr uint32_t kPlayerValues[8] = {0x100, 50, 0x8000, 0x8000, 0x8000, 0x8000, 1, 0};

// Loads a string of the current resource module into a field, cut to fit with its terminator.
void CopyString(char* field, size_t size, UINT id) {
    std::string text = LoadResString(id);
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

RemotePlugin::RemotePlugin(const char* registryBase) {
    ModuleStateScope moduleState;
    lstrcpynA(registryPath, registryBase ? registryBase : "", sizeof(registryPath));
    size_t used = strlen(registryPath);
    lstrcpynA(registryPath + used, kPluginKey, static_cast<int>(sizeof(registryPath) - used));
    startValue = 0;
}

RemotePlugin::~RemotePlugin() {
    ModuleStateScope moduleState;
    Stop();
}

RemotePlugin* RemotePlugin::DeletingDestructor(unsigned int flags) {
    ModuleStateScope moduleState;
    deleteFlags_ = flags;
    if (!moduleState.Nested()) {
        Destroy(this);
        return this;
    }
    // Called from inside a loop or a handler of ours, whose frames still use the object: it
    // stops now, which ends the loops, and goes once they have returned.
    Stop();
    deferredDelete_ = {Destroy, this, nullptr};
    ModuleStateScope::DeferToOutermost(&deferredDelete_);
    return this;
}

void RemotePlugin::Destroy(void* object) {
    auto* plugin = static_cast<RemotePlugin*>(object);
    unsigned int flags = plugin->deleteFlags_;
    plugin->~RemotePlugin();
    if (flags & kDeleteFreesObject) operator delete(plugin);
}

// Every operation is a boundary with the player: no exception leaves one, and one that meets an
// exception fails as it would have without it (0, or nothing done).
void RemotePlugin::GetPluginInfo(PluginInfoRecord* record) try {
    ModuleStateScope moduleState;
    memset(record, 0, sizeof(*record));
    CopyString(record->name, sizeof(record->name), IDS_PLUGIN_NAME);
    CopyString(record->description, sizeof(record->description), IDS_DESCRIPTION);
    CopyString(record->maker, sizeof(record->maker), IDS_MAKER);
    memcpy(record->playerValues, kPlayerValues, sizeof(kPlayerValues));
} catch (...) {
}

int RemotePlugin::HostCall2A(int, int) {
    ModuleStateScope moduleState;
    return 0;
}

int RemotePlugin::HostCall2B(int, int) {
    ModuleStateScope moduleState;
    return 0;
}

void RemotePlugin::Configure(HWND parent) try {
    ModuleStateScope moduleState;
    if (navigator.SheetOpen()) return;  // a sheet is up already
    settings.Load(registryPath);
    // Test needs a window: one is made for the time of the sheet when there is none.
    bool created = !navigator.Exists() && navigator.CreateNavigator(&settings);
    navigator.RunOptionsSheet(parent);
    if (created) navigator.DestroyWindow();
} catch (...) {
}

int RemotePlugin::Start(int a, int, int, int) try {
    ModuleStateScope moduleState;
    Stop();
    startValue = a;
    settings.Load(registryPath);
    navigator.CreateNavigator(&settings);
    return 1;
} catch (...) {
    return 0;
}

int RemotePlugin::Stop() try {
    ModuleStateScope moduleState;
    navigator.EndModalLoops();
    navigator.DestroyWindow();
    return 1;
} catch (...) {
    return 0;
}

int RemotePlugin::HostCall1(int) {
    ModuleStateScope moduleState;
    return 1;
}

int RemotePlugin::HostCall3C(int, int, int) {
    ModuleStateScope moduleState;
    return 0;
}
