// A snapshot of the running processes with the paths of their executables, for finding the
// Media Center tray program and the keyboard program. Functions are looked up per scan.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ProcessInfo {
public:
    ProcessInfo();
    virtual ~ProcessInfo();

    DWORD CurrentId() const { return currentId_; }
    // The executable path of the current process; false when none can be had.
    bool GetCurrentName(std::string& name) const;

protected:
    DWORD currentId_;
};

// Stands in for the module walk (EnumProcessModules), so that tests can make it fail as it does
// across bitness; null restores the system's.
void SetModuleWalk(BOOL(WINAPI* walk)(HANDLE, HMODULE*, DWORD, DWORD*));

class ProcessList : public ProcessInfo {
public:
    ProcessList();
    ~ProcessList() override;

    bool TakeSnapshot();
    // Moves the cursor by `n`; false at the end.
    bool Next(int n);
    size_t Count() const { return ids_.size(); }

private:
    bool valid_ = false;
    int cursor_ = -1;
    std::vector<DWORD> ids_;
};
