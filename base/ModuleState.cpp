#include "base/ModuleState.h"

namespace {
thread_local ModuleState* current = nullptr;
thread_local DeferredWork* deferred = nullptr;

// Each item is unlinked before it runs: running it may free its record, and may enter (and so
// leave) this module again.
void RunDeferred() {
    while (DeferredWork* work = deferred) {
        deferred = work->next;
        work->run(work->context);
    }
}
}  // namespace

ModuleState& ThisModuleState() {
    static ModuleState state;
    return state;
}

ModuleState* CurrentModuleState() { return current ? current : &ThisModuleState(); }

ModuleStateScope::ModuleStateScope() : previous_(current) { current = &ThisModuleState(); }

ModuleStateScope::~ModuleStateScope() {
    current = previous_;
    if (!previous_) RunDeferred();
}

void ModuleStateScope::DeferToOutermost(DeferredWork* work) {
    work->next = deferred;
    deferred = work;
}

HINSTANCE ResourceModule() {
    ModuleState* state = CurrentModuleState();
    return state->resources ? state->resources : state->instance;
}

HINSTANCE ResourceModuleFor(LPCSTR type, LPCSTR name) {
    HINSTANCE pack = ResourceModule();
    return FindResourceA(pack, name, type) ? pack : CurrentModuleState()->instance;
}

std::string LoadResString(UINT id) {
    // A string resource is counted UTF-16 inside the module; ask for a pointer to it, then convert.
    // A pack that lacks the string leaves it to the module.
    const wchar_t* text = nullptr;
    int length = LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0) length = LoadStringW(CurrentModuleState()->instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, &result[0], bytes, nullptr, nullptr);
    return result;
}
