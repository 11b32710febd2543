#include "options/FontComboBox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/Gdi.h"
#include "base/ModuleState.h"
#include "base/Paths.h"

namespace {

constexpr char kMaxNumberKey[] = "MRU_MaxNumber";
constexpr char kCountKey[] = "MRU_Count";
constexpr char kEntryKey[] = "MRU_Entry_%d";
constexpr int kDefaultMaxNumber = 5;
constexpr int kMaxEntries = 16;
constexpr int kItemHeightAt96Dpi = 18;
constexpr int kFontInset = 4;  // the face's cell is this much shorter than the item
constexpr int kTextIndent = 3;
constexpr size_t kMaxCachedFonts = 64;

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The module's profile file by name alone ("Rembrix.INI"), so that the system keeps it in the
// Windows folder as it does an application's.
std::string ProfileFileName() {
    HMODULE module = ThisModuleState().instance;
    if (!module) module = GetModuleHandleA(nullptr);
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return GetFileNamePart(path, false) + ".INI";
}

int ReadInt(const char* section, const char* key, int fallback, const std::string& file) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, file.c_str()));
}

// A string message with index -1: search from the first item, or append after the last.
LRESULT SendString(HWND combo, UINT message, const std::string& text) {
    return SendMessageA(combo, message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string EntryKey(int index) {
    char key[32];
    snprintf(key, sizeof(key), kEntryKey, index);
    return key;
}

// A GDI object selected for one scope and restored after; it stays with its owner.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

FontComboBox::FontComboBox(const char* mruSection)
    : section_(mruSection ? mruSection : ""), maxNumber_(kDefaultMaxNumber) {
    ClientDC screen(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    itemHeight_ = MulDiv(kItemHeightAt96Dpi, dpi > 0 ? dpi : 96, 96);
}

FontComboBox::~FontComboBox() { ClearFonts(); }

void FontComboBox::Attach(HWND combo) {
    combo_ = combo;
    Load();
    Fill();
}

int FontComboBox::SelectByName(const std::string& name) {
    if (!combo_) return CB_ERR;
    LRESULT index = CB_ERR;
    if (!name.empty()) index = SendString(combo_, CB_FINDSTRINGEXACT, name);
    if (!name.empty() && index == CB_ERR) index = SendString(combo_, CB_FINDSTRING, name);
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return static_cast<int>(index);
}

std::string FontComboBox::SelectedName() const {
    if (!combo_) return std::string();
    int length = GetWindowTextLengthA(combo_);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextA(combo_, &text[0], length + 1), 0)));
    return text;
}

void FontComboBox::AddToMru(const std::string& face) {
    if (face.empty()) return;
    if (!loaded_) Load();
    mru_.erase(std::remove_if(mru_.begin(), mru_.end(), [&](const std::string& name) { return SameName(name, face); }),
               mru_.end());
    mru_.insert(mru_.begin(), face);
    if (mru_.size() > static_cast<size_t>(maxNumber_)) mru_.resize(static_cast<size_t>(maxNumber_));
    SaveMru();
    if (!combo_) return;
    std::string selected = SelectedName();
    Fill();
    if (selected.empty()) return;
    // The first exact match is the recently used copy.
    LRESULT index = SendString(combo_, CB_FINDSTRINGEXACT, selected);
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FontComboBox::MeasureItem(MEASUREITEMSTRUCT* item) const {
    if (item) item->itemHeight = static_cast<UINT>(itemHeight_);
}

void FontComboBox::DrawItem(const DRAWITEMSTRUCT* item) const {
    if (!item || !item->hDC) return;
    HDC dc = item->hDC;
    RECT rect = item->rcItem;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    int textColour = selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item->itemID == static_cast<UINT>(-1) || item->itemID >= items_.size()) return;
    const Item& entry = items_[item->itemID];

    HFONT font = entry.symbol ? nullptr : FontFor(entry.name);
    if (!font) font = reinterpret_cast<HFONT>(SendMessageA(item->hwndItem, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    {
        SelectedObject selectedFont(dc, font);
        COLORREF oldColour = SetTextColor(dc, GetSysColor(textColour));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        RECT textRect = rect;
        textRect.left += kTextIndent;
        DrawTextA(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
        SetBkMode(dc, oldMode);
        SetTextColor(dc, oldColour);
    }

    // A line closes the recently used section where the other names begin.
    bool lastMru = entry.mru && item->itemID + 1 < items_.size() && !items_[item->itemID + 1].mru;
    if (lastMru && !(item->itemState & ODS_COMBOBOXEDIT)) {
        RECT line = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
        FillRect(dc, &line, GetSysColorBrush(textColour));
    }
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &rect);
}

int CALLBACK FontComboBox::CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param) {
    // Vertical faces ("@Name") are for vertical text only.
    if (!font || font->lfFaceName[0] == '@' || font->lfFaceName[0] == '\0') return 1;
    try {
        reinterpret_cast<std::vector<Face>*>(param)->push_back(
            {std::string(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE)), font->lfCharSet == SYMBOL_CHARSET});
    } catch (...) {
        return 0;
    }
    return 1;
}

void FontComboBox::Load() {
    LoadFaces();
    LoadMru();
    loaded_ = true;
}

void FontComboBox::LoadFaces() {
    std::vector<Face> found;
    {
        ClientDC screen(nullptr);
        LOGFONTA query = {};
        query.lfCharSet = DEFAULT_CHARSET;
        if (screen) EnumFontFamiliesExA(screen, &query, CollectFace, reinterpret_cast<LPARAM>(&found), 0);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Face& a, const Face& b) { return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0; });
    // A face is enumerated once per character set; it is a symbol face only if that is all it has.
    faces_.clear();
    for (const Face& face : found) {
        if (!faces_.empty() && SameName(faces_.back().name, face.name))
            faces_.back().symbol = faces_.back().symbol && face.symbol;
        else
            faces_.push_back(face);
    }
}

const FontComboBox::Face* FontComboBox::FindFace(const std::string& name) const {
    auto at = std::lower_bound(faces_.begin(), faces_.end(), name, [](const Face& face, const std::string& key) {
        return lstrcmpiA(face.name.c_str(), key.c_str()) < 0;
    });
    return at != faces_.end() && SameName(at->name, name) ? &*at : nullptr;
}

void FontComboBox::LoadMru() {
    mru_.clear();
    std::string file = ProfileFileName();
    if (file.empty()) return;
    const char* section = section_.c_str();
    // A maximum outside 1..16 is no setting anybody made: the default stands.
    int maxNumber = ReadInt(section, kMaxNumberKey, kDefaultMaxNumber, file);
    maxNumber_ = maxNumber >= 1 && maxNumber <= kMaxEntries ? maxNumber : kDefaultMaxNumber;
    int count = std::clamp(ReadInt(section, kCountKey, 0, file), 0, kMaxEntries);
    for (int i = 0; i < count && mru_.size() < static_cast<size_t>(maxNumber_); ++i) {
        char value[256] = {};
        GetPrivateProfileStringA(section, EntryKey(i).c_str(), "", value, sizeof(value), file.c_str());
        std::string face(value);
        bool seen =
            std::any_of(mru_.begin(), mru_.end(), [&](const std::string& name) { return SameName(name, face); });
        if (!face.empty() && !seen && FindFace(face)) mru_.push_back(face);
    }
}

void FontComboBox::SaveMru() const {
    std::string file = ProfileFileName();
    if (file.empty()) return;
    const char* section = section_.c_str();
    int oldCount = std::clamp(ReadInt(section, kCountKey, 0, file), 0, kMaxEntries);
    // Failed writes are ignored: the list in memory stands.
    WritePrivateProfileStringA(section, kMaxNumberKey, std::to_string(maxNumber_).c_str(), file.c_str());
    WritePrivateProfileStringA(section, kCountKey, std::to_string(mru_.size()).c_str(), file.c_str());
    int count = static_cast<int>(mru_.size());
    for (int i = 0; i < count; ++i)
        WritePrivateProfileStringA(section, EntryKey(i).c_str(), mru_[static_cast<size_t>(i)].c_str(), file.c_str());
    for (int i = count; i < oldCount; ++i)
        WritePrivateProfileStringA(section, EntryKey(i).c_str(), nullptr, file.c_str());
}

void FontComboBox::Fill() {
    items_.clear();
    if (!combo_) return;
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    auto append = [this](const std::string& name, bool mru) {
        // Inserting at the end keeps this order even in a sorted control.
        LRESULT index = SendString(combo_, CB_INSERTSTRING, name);
        if (index < 0) return;
        SendMessageA(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), mru ? 1 : 0);
        const Face* face = FindFace(name);
        items_.push_back({name, mru, face && face->symbol});
    };
    for (const std::string& name : mru_) append(name, true);
    for (const Face& face : faces_) append(face.name, false);
}

HFONT FontComboBox::FontFor(const std::string& face) const {
    auto found = fonts_.find(face);
    if (found != fonts_.end()) return found->second;
    if (fonts_.size() >= kMaxCachedFonts) ClearFonts();
    LOGFONTA font = {};
    font.lfHeight = std::max(itemHeight_ - kFontInset, 1);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT created = CreateFontIndirectA(&font);
    if (created) fonts_[face] = created;
    return created;
}

void FontComboBox::ClearFonts() const {
    for (auto& entry : fonts_) DeleteObject(entry.second);
    fonts_.clear();
}
