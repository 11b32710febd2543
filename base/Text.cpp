#include "base/Text.h"

#include <mbstring.h>

int AnsiToWide(const char* text, wchar_t* buffer, int capacity) {
    if (capacity == 0) capacity = MAX_PATH;
    if (capacity < 0) capacity = 0;
    if (capacity == 0) return 0;
    return MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, capacity);
}

bool SameName(const char* a, const char* b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}
