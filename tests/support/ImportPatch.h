// Replaces one of this program's imports with a function of the test's own, for the lifetime of
// the object: calls the product makes through the import table reach the test instead.
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* module, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }

private:
    void Write(void* value);

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
