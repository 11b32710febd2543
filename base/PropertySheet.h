// The property-sheet part of the window-class layer: a sheet of pages over comctl32, whose page
// notifications become virtual functions, and dialog data exchange between controls and members.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

// Moves values between a page's controls and its members, one direction per pass. A value that
// cannot be read refuses the page: the standard message is shown and the control gets the focus.
class DataExchange {
public:
    DataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}
    bool Saving() const { return save_; }
    bool Failed() const { return failed_; }

    void Check(int id, int& value);        // auto check box
    void ComboIndex(int id, int& value);   // selected index, -1 for none
    void Int(int id, int& value);          // a decimal integer, refused when empty or not a number

private:
    void Fail(int id, UINT message);

    HWND dialog_;
    bool save_;
    bool failed_ = false;
};

class CPropertySheet;

class CPropertyPage {
public:
    explicit CPropertyPage(UINT templateId) : templateId_(templateId) {}
    virtual ~CPropertyPage() = default;
    CPropertyPage(const CPropertyPage&) = delete;
    CPropertyPage& operator=(const CPropertyPage&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    UINT TemplateId() const { return templateId_; }

    // Controls to members (save) or members to controls; false when a value was refused.
    bool UpdateData(bool save);

protected:
    virtual void DoDataExchange(DataExchange&) {}
    // The page was created: the default fills the controls from the members.
    virtual BOOL OnInitDialog();
    // A command from a control (WM_COMMAND); true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    // Any other message, before default processing; true when handled, with *result set.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR* /*result*/) { return false; }
    // The sheet ended with OK or Cancel; only pages that were created are told.
    virtual void OnOK() {}
    virtual void OnCancel() {}

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnNotify(const NMHDR& header);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    CPropertySheet* sheet_ = nullptr;
};

class CPropertySheet {
public:
    // The caption is a string resource; `startPage` is shown first.
    CPropertySheet(UINT captionId, HWND parent, UINT startPage);
    virtual ~CPropertySheet() = default;

    void AddPage(CPropertyPage* page);
    // Runs the sheet modally: IDOK or IDCANCEL.
    INT_PTR DoModal();
    // Ends the running sheet as its Cancel button would, and first any dialog it shows (a
    // refusal's message box), so that their loops unwind.
    void End();

    DWORD flags;  // PROPSHEETHEADER flags: PSH_NOAPPLYNOW, PSH_HASHELP, ...

protected:
    // The page records handed to the system, one per page, in order.
    virtual std::vector<PROPSHEETPAGEA> BuildPageArray() const;

private:
    friend class CPropertyPage;

    UINT captionId_;
    HWND hwnd_ = nullptr;  // while it runs
    HWND parent_;
    UINT startPage_;
    std::vector<CPropertyPage*> pages_;
};

// The size of the first-version page record, which every system takes.
constexpr UINT kPageRecordV1Size = offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(PROPSHEETPAGEA::pcRefParent);
#ifndef _WIN64
static_assert(kPageRecordV1Size == 40, "the first-version page record is 40 bytes on 32-bit");
#endif
