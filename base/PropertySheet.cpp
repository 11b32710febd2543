#include "base/PropertySheet.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <string>

#include "base/ModuleState.h"

namespace {

// The standard refusal, "Please enter an integer.", by the number the class library gives it.
constexpr UINT kParseIntMessage = 0xF110;
constexpr char kPageProperty[] = "Rembrix.Page";
constexpr char kDialogClass[] = "#32770";

BOOL CALLBACK EndDialogOwnedBy(HWND window, LPARAM owner) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner) && !strcmp(name, kDialogClass))
        EndDialog(window, IDCANCEL);
    return TRUE;
}

}  // namespace

void DataExchange::Fail(int id, UINT message) {
    if (failed_) return;
    failed_ = true;
    std::string text = LoadResString(message);
    MessageBoxA(dialog_, text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    HWND control = GetDlgItem(dialog_, id);
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
}

void DataExchange::Check(int id, int& value) {
    if (failed_) return;
    if (save_)
        value = static_cast<int>(SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0));
    else
        SendDlgItemMessageA(dialog_, id, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DataExchange::ComboIndex(int id, int& value) {
    if (failed_) return;
    if (save_)
        value = static_cast<int>(SendDlgItemMessageA(dialog_, id, CB_GETCURSEL, 0, 0));
    else
        SendDlgItemMessageA(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void DataExchange::Int(int id, int& value) {
    if (failed_) return;
    if (!save_) {
        SetDlgItemTextA(dialog_, id, std::to_string(value).c_str());
        return;
    }
    char text[64] = {};
    GetDlgItemTextA(dialog_, id, text, sizeof(text));
    char* end = nullptr;
    errno = 0;
    long number = strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end == text || !end || *end || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return Fail(id, kParseIntMessage);
    value = static_cast<int>(number);
}

bool CPropertyPage::UpdateData(bool save) {
    DataExchange exchange(hwnd_, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

BOOL CPropertyPage::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

INT_PTR CPropertyPage::OnNotify(const NMHDR& header) {
    switch (header.code) {
    case PSN_KILLACTIVE:  // leaving the page, or OK: the page's values must read
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, UpdateData(true) ? FALSE : TRUE);
        return TRUE;
    case PSN_APPLY:
        OnOK();
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    case PSN_RESET:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CPropertyPage::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ModuleStateScope moduleState;
    try {
        return Dispatch(hwnd, message, wParam, lParam);
    } catch (...) {
        return FALSE;  // no exception unwinds through the dialog manager: the message is not handled
    }
}

INT_PTR CPropertyPage::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* page = static_cast<CPropertyPage*>(GetPropA(hwnd, kPageProperty));
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        page->hwnd_ = hwnd;
        if (page->sheet_) page->sheet_->hwnd_ = GetParent(hwnd);
        SetPropA(hwnd, kPageProperty, page);
        return page->OnInitDialog();
    }
    if (!page) return FALSE;
    INT_PTR result = FALSE;
    switch (message) {
    case WM_NOTIFY:
        return page->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        return page->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NCDESTROY:
        RemovePropA(hwnd, kPageProperty);
        page->hwnd_ = nullptr;
        return FALSE;
    default:
        return page->OnMessage(message, wParam, lParam, &result) ? result : FALSE;
    }
}

CPropertySheet::CPropertySheet(UINT captionId, HWND parent, UINT startPage)
    : flags(PSH_PROPSHEETPAGE), captionId_(captionId), parent_(parent), startPage_(startPage) {}

void CPropertySheet::AddPage(CPropertyPage* page) {
    page->sheet_ = this;
    pages_.push_back(page);
}

void CPropertySheet::End() {
    if (!hwnd_) return;
    EnumThreadWindows(GetCurrentThreadId(), EndDialogOwnedBy, reinterpret_cast<LPARAM>(hwnd_));
    PostMessageA(hwnd_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

std::vector<PROPSHEETPAGEA> CPropertySheet::BuildPageArray() const {
    std::vector<PROPSHEETPAGEA> records;
    for (CPropertyPage* page : pages_) {
        PROPSHEETPAGEA record = {};
        record.dwSize = kPageRecordV1Size;
        record.dwFlags = PSP_DEFAULT;
        // Each page from whichever module has its dialog: the language pack, or the module itself.
        record.pszTemplate = MAKEINTRESOURCEA(page->TemplateId());
        record.hInstance = ResourceModuleFor(RT_DIALOG, record.pszTemplate);
        record.pfnDlgProc = CPropertyPage::DialogProc;
        record.lParam = reinterpret_cast<LPARAM>(page);
        records.push_back(record);
    }
    return records;
}

INT_PTR CPropertySheet::DoModal() {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};  // hot-key and spin controls
    InitCommonControlsEx(&classes);
    std::string caption = LoadResString(captionId_);
    std::vector<PROPSHEETPAGEA> records = BuildPageArray();
    if (records.empty()) return IDCANCEL;
    // The records are read by their own size, the first-version one; the array is packed that way.
    std::vector<BYTE> packed(records.size() * kPageRecordV1Size);
    for (size_t i = 0; i < records.size(); ++i)
        memcpy(&packed[i * kPageRecordV1Size], &records[i], kPageRecordV1Size);

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = flags | PSH_PROPSHEETPAGE;
    header.hwndParent = parent_;
    header.hInstance = ResourceModule();
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(records.size());
    header.nStartPage = startPage_;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(packed.data());
    INT_PTR result = ::PropertySheetA(&header);
    hwnd_ = nullptr;
    return result > 0 ? IDOK : IDCANCEL;
}
