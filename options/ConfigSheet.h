// The options sheet, "Remote Control Options": the General, Window and two Info pages, editing the
// live settings record. OK leaves the edited record for the caller to save and apply; Cancel
// leaves it as it was before the sheet opened.
#pragma once

#include <windows.h>

#include "base/PropertySheet.h"
#include "res/resource.h"
#include "options/ConfigGeneralPage.h"
#include "options/ConfigWindowPage.h"

struct PluginSettings;

// Static text pages: the buttons of each remote and what they do.
class CConfigInfoPage : public CPropertyPage {
public:
    CConfigInfoPage() : CPropertyPage(IDD_INFO_MCE_PAGE) {}
};

class CConfigInfoSMZPage : public CPropertyPage {
public:
    CConfigInfoSMZPage() : CPropertyPage(IDD_INFO_SMZ_PAGE) {}
};

class CConfigSheet : public CPropertySheet {
public:
    // `navigator` may be null: the Window page's Test is then unavailable.
    CConfigSheet(PluginSettings* settings, OptionsPreview* navigator, HWND parent);

private:
    CConfigGeneralPage general_;
    CConfigWindowPage window_;
    CConfigInfoPage info_;
    CConfigInfoSMZPage infoSmz_;
};
