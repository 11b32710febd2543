#include "navigator/TokenList.h"

#include <cstring>

TokenList::TokenList(const void* data, size_t size) {
    if (!data) return;
    const char* at = static_cast<const char*>(data);
    const char* end = at + size;
    // Counted first, so that the views are stored without growing the array on the way.
    size_t count = 0;
    for (const char* p = at; p < end && *p; ++count) {
        const char* terminator = static_cast<const char*>(memchr(p, '\0', static_cast<size_t>(end - p)));
        p = terminator ? terminator + 1 : end;
    }
    tokens_.reserve(count);
    while (at < end) {
        const char* terminator = static_cast<const char*>(memchr(at, '\0', static_cast<size_t>(end - at)));
        size_t length = terminator ? static_cast<size_t>(terminator - at) : static_cast<size_t>(end - at);
        if (length == 0) break;
        tokens_.emplace_back(at, length);
        if (!terminator) break;
        at = terminator + 1;
    }
}

std::string ParseKeyString(const void* data, size_t size) {
    if (!data) return std::string();
    const char* text = static_cast<const char*>(data);
    const char* terminator = static_cast<const char*>(memchr(text, '\0', size));
    return std::string(text, terminator ? static_cast<size_t>(terminator - text) : size);
}
