#include "base/Text.h"

int AnsiToWide(const char* text, wchar_t* buffer, int capacity) {
    if (capacity == 0) capacity = MAX_PATH;
    if (capacity < 0) capacity = 0;
    if (capacity == 0) return 0;
    return MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, capacity);
}
