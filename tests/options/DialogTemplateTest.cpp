// The options pages' dialog templates against the table in dialogs.txt: ids, classes, texts,
// rectangles in dialog units, key styles, template order, and the "MS Shell Dlg" 8 pt font.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Control {
    int id;
    std::string className, text;
    short x, y, cx, cy;
    DWORD style;
};

struct Dialog {
    std::string caption, font;
    short cx, cy;
    WORD points;
    std::vector<Control> controls;
};

class Reader {
public:
    explicit Reader(const BYTE* p) : p_(p) {}
    template <typename T>
    T Take() {
        T value;
        memcpy(&value, p_, sizeof(T));
        p_ += sizeof(T);
        return value;
    }
    // A string or an ordinal (0xFFFF, then the number): the predefined classes by name.
    std::string Name() {
        if (Peek() == 0xFFFF) {
            Take<WORD>();
            static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
            WORD atom = Take<WORD>();
            return atom >= 0x80 && atom <= 0x85 ? kClasses[atom - 0x80] : std::to_string(atom);
        }
        std::string text;
        for (WORD c; (c = Take<WORD>()) != 0;) text += static_cast<char>(c);
        return text;
    }
    void AlignDword(const BYTE* base) { p_ += (4 - (p_ - base) % 4) % 4; }

private:
    WORD Peek() const { return static_cast<WORD>(p_[0] | p_[1] << 8); }
    const BYTE* p_;
};

Dialog Load(int id) {
    Dialog d;
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!found) return d;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    Reader r(base);
    r.Take<DWORD>();  // version and signature
    r.Take<DWORD>();  // help id
    r.Take<DWORD>();  // extended style
    DWORD style = r.Take<DWORD>();
    WORD count = r.Take<WORD>();
    r.Take<DWORD>();  // x, y
    d.cx = r.Take<short>();
    d.cy = r.Take<short>();
    r.Name();  // menu
    r.Name();  // class
    d.caption = r.Name();
    if (style & DS_SETFONT) {
        d.points = r.Take<WORD>();
        r.Take<DWORD>();  // weight, italic, character set
        d.font = r.Name();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword(base);
        Control c;
        r.Take<DWORD>();  // help id
        r.Take<DWORD>();  // extended style
        c.style = r.Take<DWORD>();
        c.x = r.Take<short>(), c.y = r.Take<short>(), c.cx = r.Take<short>(), c.cy = r.Take<short>();
        c.id = r.Take<int>();
        c.className = r.Name();
        c.text = r.Name();
        WORD extra = r.Take<WORD>();
        for (WORD b = 0; b < extra; ++b) r.Take<BYTE>();
        d.controls.push_back(c);
    }
    return d;
}

TEST(DialogTemplates, MatchTheTable) {
    std::ifstream table(TEST_SOURCE_DIR "/tests/options/dialogs.txt");
    ASSERT_TRUE(table);
    Dialog dialog;
    size_t next = 0;
    int dialogId = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        if (line.rfind("dialog ", 0) == 0) {
            if (dialogId) {
                EXPECT_EQ(next, dialog.controls.size()) << "controls of " << dialogId;
            }
            short cx, cy;
            std::string word, caption;
            in >> word >> dialogId >> cx >> cy;
            std::getline(in >> std::ws, caption);
            dialog = Load(dialogId);
            next = 0;
            EXPECT_EQ(caption, dialog.caption) << dialogId;
            EXPECT_EQ(cx, dialog.cx) << dialogId;
            EXPECT_EQ(cy, dialog.cy) << dialogId;
            EXPECT_EQ("MS Shell Dlg", dialog.font) << dialogId;
            EXPECT_EQ(8, dialog.points) << dialogId;
            continue;
        }
        Control want;
        std::string bits;
        in >> want.id >> want.className >> want.x >> want.y >> want.cx >> want.cy >> bits;
        std::getline(in >> std::ws, want.text);
        for (size_t at; (at = want.text.find("\\n")) != std::string::npos;) want.text.replace(at, 2, "\n");
        want.style = static_cast<DWORD>(std::stoul(bits, nullptr, 16));
        SCOPED_TRACE(line);
        ASSERT_LT(next, dialog.controls.size());
        const Control& got = dialog.controls[next++];
        EXPECT_EQ(want.id, static_cast<int>(static_cast<short>(got.id)));
        EXPECT_EQ(0, _stricmp(want.className.c_str(), got.className.c_str())) << got.className;  // any case
        bool prefix = !want.text.empty() && want.text.back() == '*';
        if (prefix) want.text.pop_back();
        EXPECT_EQ(want.text, prefix ? got.text.substr(0, want.text.size()) : got.text);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(want.style, got.style & want.style);
        if (got.className == "Button") {
            EXPECT_EQ(want.style & BS_TYPEMASK, got.style & BS_TYPEMASK);
        }
    }
    EXPECT_EQ(next, dialog.controls.size()) << "controls of " << dialogId;
}

}  // namespace
