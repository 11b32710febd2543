// A reference on this module for the time of a modal loop of ours: inside it the player may
// delete the plug-in and unload the module, and the loop's frames must still have code to return
// to. The reference is let go only once this thread is out of our code.
#pragma once

#include <windows.h>

class ModuleHold {
public:
    ModuleHold();
    ~ModuleHold();
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;

private:
    HMODULE module_ = nullptr;
};
