// The General page: enabling the plug-in, the tray icon, the hot key and the monitor.
#pragma once

#include "base/PropertySheet.h"
#include "res/resource.h"

struct PluginSettings;

class CConfigGeneralPage : public CPropertyPage {
public:
    CConfigGeneralPage() : CPropertyPage(IDD_GENERAL_PAGE) {}
    void Init(PluginSettings* settings);

    int showTrayIcon = 0;
    int enablePlugin = 0;
    int monitorIndex = -1;

protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;

private:
    PluginSettings* settings_ = nullptr;
};
