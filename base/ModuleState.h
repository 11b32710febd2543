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

// Makes this module's state current for one scope and restores the previous one after, as every
// entry point called from outside does.
class ModuleStateScope {
public:
    ModuleStateScope();
    ~ModuleStateScope();
    ModuleStateScope(const ModuleStateScope&) = delete;
    ModuleStateScope& operator=(const ModuleStateScope&) = delete;

private:
    ModuleState* previous_;
};

// Resource loads: from the language pack where it has the item, else from the module itself.
HINSTANCE ResourceModule();
HINSTANCE ResourceModuleFor(LPCSTR type, LPCSTR name);
std::string LoadResString(UINT id);
