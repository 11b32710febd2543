#include "options/ConfigWindowPage.h"

#include <cstring>

#include "base/ModuleState.h"
#include "res/resource.h"

namespace {

constexpr int kTextSizes = 5;
constexpr char kFallbackFont[] = "Arial";

}  // namespace

CConfigWindowPage::CConfigWindowPage() : CPropertyPage(IDD_WINDOW_PAGE), font_("Font_MRU") {}

void CConfigWindowPage::Init(PluginSettings* settings, OptionsPreview* navigator) {
    settings_ = settings;
    columnCount = static_cast<int>(settings->column);
    showTagInfo = static_cast<int>(settings->showDetailInfo);
    largeThumbnails = static_cast<int>(settings->iconView);
    trackThumbnails = static_cast<int>(settings->showThumbnail);
    textSizeIndex = static_cast<int>(settings->textSize);
    memcpy(colours_, settings->colours, sizeof(colours_));
    navigator_ = navigator;
    savedSettings_ = *settings;
}

void CConfigWindowPage::DoDataExchange(DataExchange& dx) {
    dx.ComboIndex(IDC_TEXT_SIZE, textSizeIndex);
    dx.Int(IDC_COLUMNS, columnCount);
    dx.Check(IDC_TAG_INFO, showTagInfo);
    dx.Check(IDC_LARGE_THUMBNAILS, largeThumbnails);
    dx.Check(IDC_THUMBNAILS, trackThumbnails);
}

BOOL CConfigWindowPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    font_.Attach(Item(IDC_FONT));
    // The control asked for its item height before the page knew it: tell it now.
    MEASUREITEMSTRUCT measure = {};
    measure.CtlID = IDC_FONT;
    font_.MeasureItem(&measure);
    SendMessageA(font_.Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), measure.itemHeight);
    SendMessageA(font_.Handle(), CB_SETITEMHEIGHT, 0, measure.itemHeight);
    // A face that no installed font begins with gives way to Arial, then to the first font.
    if (font_.SelectByName(settings_->textFont) == CB_ERR) {
        settings_->textFont = kFallbackFont;
        if (font_.SelectByName(settings_->textFont) == CB_ERR) SendMessageA(font_.Handle(), CB_SETCURSEL, 0, 0);
    }

    HWND sizes = Item(IDC_TEXT_SIZE);
    for (int i = 0; i < kTextSizes; ++i)
        SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(IDS_TEXT_SIZE_FIRST + i).c_str()));
    SendMessageA(sizes, CB_SETCURSEL, static_cast<WPARAM>(textSizeIndex), 0);

    SendDlgItemMessageA(Handle(), IDC_COLUMNS_SPIN, UDM_SETRANGE32, 1, 10);
    SendDlgItemMessageA(Handle(), IDC_COLUMNS_SPIN, UDM_SETPOS32, 0, columnCount);
    ApplyEnablingRules();
    return TRUE;
}

// Reads the check boxes alone: a refused columns field must neither hold the rules back nor
// answer a click with its message.
void CConfigWindowPage::ApplyEnablingRules() {
    if (!navigator_ || !navigator_->HasPreviewWindow()) EnableWindow(Item(IDC_TEST), FALSE);
    bool thumbnails = IsDlgButtonChecked(Handle(), IDC_THUMBNAILS) == BST_CHECKED;
    EnableWindow(Item(IDC_LARGE_THUMBNAILS), thumbnails);
    EnableWindow(Item(IDC_TAG_INFO), thumbnails);
    bool grid = thumbnails && IsDlgButtonChecked(Handle(), IDC_LARGE_THUMBNAILS) == BST_CHECKED;
    EnableWindow(Item(IDC_COLUMNS), grid);
    EnableWindow(Item(IDC_COLUMNS_SPIN), grid);
}

bool CConfigWindowPage::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_THUMBNAILS || id == IDC_LARGE_THUMBNAILS) {
        ApplyEnablingRules();
        return true;
    }
    // A refused field has shown its message: nothing is written and nothing shown.
    if (id == IDC_TEST) {
        if (navigator_ && navigator_->HasPreviewWindow() && WriteBack()) navigator_->ShowPreview();
        return true;
    }
    return false;
}

bool CConfigWindowPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    if (wParam != IDC_FONT) return false;
    if (message == WM_MEASUREITEM)
        font_.MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    else if (message == WM_DRAWITEM)
        font_.DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    else
        return false;
    *result = TRUE;
    return true;
}

bool CConfigWindowPage::WriteBack() {
    if (!UpdateData(true)) return false;
    std::string face = font_.SelectedName();
    settings_->textFont = face.empty() ? kFallbackFont : face;
    settings_->column = static_cast<DWORD>(columnCount);
    settings_->showDetailInfo = static_cast<DWORD>(showTagInfo);
    settings_->iconView = static_cast<DWORD>(largeThumbnails);
    settings_->showThumbnail = static_cast<DWORD>(trackThumbnails);
    settings_->textSize = static_cast<DWORD>(textSizeIndex);
    memcpy(settings_->colours, colours_, sizeof(colours_));
    return true;
}

void CConfigWindowPage::OnOK() {
    if (WriteBack()) font_.AddToMru(settings_->textFont);
}

void CConfigWindowPage::OnCancel() {
    // Test may have written into the live record: the whole record as it was, strings included.
    *settings_ = savedSettings_;
}
