#include "options/ConfigSheet.h"

#include "res/resource.h"

CConfigSheet::CConfigSheet(PluginSettings* settings, OptionsPreview* navigator, HWND parent)
    : CPropertySheet(IDS_OPTIONS_TITLE, parent, 0) {
    flags &= ~PSH_HASHELP;
    flags |= PSH_NOAPPLYNOW;
    window_.Init(settings, navigator);
    general_.Init(settings);
    AddPage(&general_);
    AddPage(&window_);
    AddPage(&info_);
    AddPage(&infoSmz_);
}
