// The module state of the window-class layer: this module's instance and the module that its
// strings, menus, dialogs and icons are loaded from (the module itself, or a language pack).
#pragma once

#include <windows.h>

#include <string>

struct ModuleState {
    HINSTANCE instance = nullptr;
    HINSTANCE resources = nullptr;
};

// This module's state, set up when the module loads.
ModuleState& ThisModuleState();
// The state in force on this thread: this module's inside every entry point that switches to
// it, else whatever the caller had.
ModuleState* CurrentModuleState();

// Work held back until this thread has returned from every entry point of this module: entries
// nest (a modal loop of ours runs the player's code, which may call us again), and the frames of
// the outer ones may still use what an inner one would free. The holder owns the record and
// keeps it alive until `run` is called.
struct DeferredWork {
    void (*run)(void* context) = nullptr;
    void* context = nullptr;
    DeferredWork* next = nullptr;
};

// Makes this module's state current for one scope and restores the previous one after, as every
// entry point called from outside does. The outermost one, as it ends, runs the deferred work.
class ModuleStateScope {
public:
    ModuleStateScope();
    ~ModuleStateScope();
    ModuleStateScope(const ModuleStateScope&) = delete;
    ModuleStateScope& operator=(const ModuleStateScope&) = delete;

    // Whether this entry runs inside another of this module on this thread.
    bool Nested() const { return previous_ != nullptr; }
    // Runs `work` once the outermost entry of this thread has returned.
    static void DeferToOutermost(DeferredWork* work);

private:
    ModuleState* previous_;
};

// Resource loads: from the language pack where it has the item, else from the module itself.
HINSTANCE ResourceModule();
HINSTANCE ResourceModuleFor(LPCSTR type, LPCSTR name);
std::string LoadResString(UINT id);
