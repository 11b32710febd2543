// The options pages' dialog templates against the table in dialogs.txt: ids, classes, texts,
// rectangles in dialog units, key styles, template order, and the "MS Shell Dlg" 8 pt font.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// Walks an extended dialog template (DLGTEMPLATEEX and its items) field by field.
struct Reader {
    const BYTE* base = nullptr;
    const BYTE* p = nullptr;
    template <typename T>
    T Take() {
        T value;
        memcpy(&value, p, sizeof(T));
        p += sizeof(T);
        return value;
    }
    // A string, or an ordinal (0xFFFF, then the number): the predefined classes by name.
    std::string Name() {
        WORD first = Take<WORD>();
        if (first == 0xFFFF) {
            static const char* const kClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
            WORD atom = Take<WORD>();
            return atom >= 0x80 && atom <= 0x85 ? kClasses[atom - 0x80] : std::to_string(atom);
        }
        std::string text;
        for (WORD c = first; c != 0; c = Take<WORD>()) text += static_cast<char>(c);
        return text;
    }
};

}  // namespace

TEST(DialogTemplates, MatchTheTable) {
    std::ifstream table(TEST_SOURCE_DIR "/tests/options/dialogs.txt");
    ASSERT_TRUE(table);
    Reader r;
    int dialogId = 0, left = 0;  // the dialog being compared, and its controls not yet compared
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        SCOPED_TRACE(line);
        std::istringstream in(line);
        std::string word, className, bits, text;
        short x, y, cx, cy;
        if (line.rfind("dialog ", 0) == 0) {
            EXPECT_EQ(0, left) << "controls not in the table";
            in >> word >> dialogId >> cx >> cy;
            std::getline(in >> std::ws, text);
            HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(dialogId), RT_DIALOG);
            ASSERT_NE(nullptr, found);
            r.base = r.p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
            r.p += 12;  // version, signature, help id, extended style
            ASSERT_TRUE(r.Take<DWORD>() & DS_SETFONT);
            left = r.Take<WORD>();
            r.p += 4;  // x, y
            for (short want : {cx, cy}) EXPECT_EQ(want, r.Take<short>());
            r.Name();  // menu
            r.Name();  // class
            EXPECT_EQ(text, r.Name());
            EXPECT_EQ(8, r.Take<WORD>());
            r.p += 4;  // weight, italic, character set
            EXPECT_EQ("MS Shell Dlg", r.Name());
            continue;
        }
        ASSERT_GT(left--, 0) << "more controls in the table than in the template";
        int id;
        in >> id >> className >> x >> y >> cx >> cy >> bits;
        std::getline(in >> std::ws, text);
        for (size_t at; (at = text.find("\\n")) != std::string::npos;) text.replace(at, 2, "\n");
        const DWORD style = static_cast<DWORD>(std::stoul(bits, nullptr, 16));
        r.p += (4 - (r.p - r.base) % 4) % 4 + 8;  // to a DWORD boundary; help id, extended style
        const DWORD got = r.Take<DWORD>();
        for (short want : {x, y, cx, cy}) EXPECT_EQ(want, r.Take<short>());  // the rectangle
        EXPECT_EQ(id, static_cast<short>(r.Take<DWORD>()));
        const std::string gotClass = r.Name(), gotText = r.Name();
        r.p += r.Take<WORD>();  // creation data
        EXPECT_EQ(0, _stricmp(className.c_str(), gotClass.c_str())) << gotClass;  // any case
        bool prefix = !text.empty() && text.back() == '*';  // the rest is ours to word
        if (prefix) text.pop_back();
        EXPECT_EQ(text, prefix ? gotText.substr(0, text.size()) : gotText);
        EXPECT_EQ(style, got & style);
        if (gotClass == "Button") {
            EXPECT_EQ(style & BS_TYPEMASK, got & BS_TYPEMASK);
        }
    }
    EXPECT_EQ(0, left) << "controls not in the table";
}
