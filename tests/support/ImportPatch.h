// Replaces one import of a module (this program by default) with a function of the test's own, for
// the lifetime of the object: calls the product makes through that import table reach the test.
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* module, const char* function, void* replacement, HMODULE importer = nullptr);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    void Write(void* value);

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
