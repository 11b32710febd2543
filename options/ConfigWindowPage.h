// The Window page: text size, font, columns, thumbnails and tag lines of the Navigator, with a
// Test button that shows the Navigator with the new look at once, without saving.
#pragma once

#include <windows.h>

#include "base/PropertySheet.h"
#include "options/FontComboBox.h"
#include "options/OptionsPreview.h"
#include "settings/PluginSettings.h"

class CConfigWindowPage : public CPropertyPage {
public:
    CConfigWindowPage();
    void Init(PluginSettings* settings, OptionsPreview* navigator);

    int columnCount = 0;
    int showTagInfo = 0;
    int largeThumbnails = 0;
    int trackThumbnails = 0;
    int textSizeIndex = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ApplyEnablingRules();
    // The page's values into the settings; false, with nothing written, when a field is refused.
    bool WriteBack();

    FontComboBox font_;
    PluginSettings* settings_ = nullptr;
    COLORREF colours_[kColourCount] = {};
    OptionsPreview* navigator_ = nullptr;
    PluginSettings savedSettings_;
};
