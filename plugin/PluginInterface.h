// The interface through which the player drives a plug-in: a table of thirteen operations in a
// fixed order. The player is built with Microsoft's compiler, whose table holds one destructor
// slot: a scalar deleting destructor taking flags (bit 0: free the object) and returning the
// object. GCC would give a virtual destructor two slots, so that slot is declared explicitly and
// the C++ destructors stay non-virtual.
#pragma once

#include <windows.h>

struct PluginInfoRecord;

class PluginBase {
public:
    virtual PluginBase* DeletingDestructor(unsigned int flags);  // slot 0
    virtual void GetPluginInfo(PluginInfoRecord* record) = 0;    // slot 1
    virtual int HostCall3A(int a, int b, int c);                 // slot 2
    virtual int HostCall3B(int a, int b, int c);                 // slot 3
    virtual int HostCall2A(int a, int b);                        // slot 4
    virtual int HostCall2B(int a, int b);                        // slot 5
    virtual void Configure(HWND parent);                         // slot 6
    virtual void HostNotify1(int a);                             // slot 7
    virtual int HostCall2C(int a, int b);                        // slot 8

protected:
    ~PluginBase() = default;
};

class ControlPluginBase : public PluginBase {
public:
    virtual int Start(int a, int b, int c, int d) = 0;  // slot 9
    virtual int Stop() = 0;                             // slot 10
    virtual int HostCall1(int a) = 0;                   // slot 11
    virtual int HostCall3C(int a, int b, int c) = 0;    // slot 12

protected:
    ~ControlPluginBase() = default;
};

constexpr int kPluginSlotCount = 13;
// The deleting destructor's flag that frees the object after destroying it.
constexpr unsigned int kDeleteFreesObject = 1;

// The factory the player looks up by name.
extern "C" __declspec(dllexport) PluginBase* __cdecl KsPluginCreate(const char* registryBase);
using KsPluginCreateFn = PluginBase*(__cdecl*)(const char* registryBase);
