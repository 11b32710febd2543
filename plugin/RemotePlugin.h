// The plug-in object the player creates: it owns the settings and the Navigator window.
#pragma once

#include <windows.h>

#include "base/ModuleState.h"
#include "navigator/NavigatorWnd.h"
#include "plugin/PluginInfoRecord.h"
#include "plugin/PluginInterface.h"
#include "settings/PluginSettings.h"

class RemotePlugin : public ControlPluginBase {
public:
    explicit RemotePlugin(const char* registryBase);
    ~RemotePlugin();

    RemotePlugin* DeletingDestructor(unsigned int flags) override;
    void GetPluginInfo(PluginInfoRecord* record) override;
    int HostCall2A(int a, int b) override;
    int HostCall2B(int a, int b) override;
    void Configure(HWND parent) override;
    int Start(int a, int b, int c, int d) override;
    int Stop() override;
    int HostCall1(int a) override;
    int HostCall3C(int a, int b, int c) override;

    char registryPath[MAX_PATH];
    int32_t startValue;
    PluginSettings settings;
    NavigatorWnd navigator;

private:
    // Runs the destructor and, as the deleting call's flags ask, frees the object.
    static void Destroy(void* plugin);

    unsigned int deleteFlags_ = 0;
    DeferredWork deferredDelete_;
};
