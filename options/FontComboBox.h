// A drop-down list of the installed font face names, each drawn in its own face, with a section of
// recently used names above the others, kept between runs in the module's private profile file.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class FontComboBox {
public:
    explicit FontComboBox(const char* mruSection);  // "Font_MRU"
    ~FontComboBox();
    FontComboBox(const FontComboBox&) = delete;
    FontComboBox& operator=(const FontComboBox&) = delete;

    // Takes over a dialog's owner-drawn drop-down list (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS) and
    // fills it: the recently used names, most recent first, then every installed face name, sorted
    // case-insensitively. Items are appended in that order whatever CBS_SORT says.
    void Attach(HWND combo);
    HWND Handle() const { return combo_; }

    // Selects the first item named `name`, else the first that begins with it, case-insensitively:
    // a recently used "Arial Black" above the sorted list must not stand in for "Arial". An empty
    // name, or one that nothing begins with, clears the selection. Returns the index or CB_ERR.
    int SelectByName(const std::string& name);
    // The selected face name; empty when none.
    std::string SelectedName() const;
    // Puts `face` at the top of the recently used names, writes them and refills the list, keeping
    // the selected name selected (its recently used copy).
    void AddToMru(const std::string& face);

    // The dialog forwards WM_MEASUREITEM and WM_DRAWITEM for this control.
    void MeasureItem(MEASUREITEMSTRUCT* item) const;
    void DrawItem(const DRAWITEMSTRUCT* item) const;

    // The recently used names as read or last written.
    const std::vector<std::string>& Mru() const { return mru_; }

private:
    struct Face {
        std::string name;
        bool symbol;  // its names would be unreadable in its own face
    };
    struct Item {
        std::string name;
        bool mru;
        bool symbol;
    };

    static int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM param);
    void Load();
    void LoadFaces();
    void LoadMru();
    void SaveMru() const;
    void Fill();
    const Face* FindFace(const std::string& name) const;
    HFONT FontFor(const std::string& face) const;
    void ClearFonts() const;

    std::string section_;
    HWND combo_ = nullptr;
    bool loaded_ = false;
    int itemHeight_;
    int maxNumber_;
    std::vector<Face> faces_;  // sorted case-insensitively, unique
    std::vector<std::string> mru_;
    std::vector<Item> items_;  // the control's items, index for index
    mutable std::map<std::string, HFONT> fonts_;
};
