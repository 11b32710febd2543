#include "plugin/PluginInterface.h"

// The defaults: the player calls these operations, and a plug-in without a use for them answers
// with a constant and touches nothing.

PluginBase* PluginBase::DeletingDestructor(unsigned int flags) {
    this->~PluginBase();
    if (flags & kDeleteFreesObject) operator delete(this);
    return this;
}

int PluginBase::HostCall3A(int, int, int) { return 0; }
int PluginBase::HostCall3B(int, int, int) { return 0; }
int PluginBase::HostCall2A(int, int) { return 0; }
int PluginBase::HostCall2B(int, int) { return 0; }
void PluginBase::Configure(HWND) {}
void PluginBase::HostNotify1(int) {}
int PluginBase::HostCall2C(int, int) { return 0; }
