#include "navigator/TokenList.h"

#include <cstring>

TokenList::TokenList(const void* data, size_t size) {
    if (!data) return;
    const char* at = static_cast<const char*>(data);
    const char* end = at + size;
    while (at < end) {
        const char* terminator = static_cast<const char*>(memchr(at, '\0', static_cast<size_t>(end - at)));
        size_t length = terminator ? static_cast<size_t>(terminator - at) : static_cast<size_t>(end - at);
        if (length == 0) break;
        tokens_.emplace_back(at, length);
        if (!terminator) break;
        at = terminator + 1;
    }
}

const std::string& TokenList::operator[](size_t index) const {
    static const std::string empty;
    return index < tokens_.size() ? tokens_[index] : empty;
}

std::string ParseKeyString(const void* data, size_t size) {
    if (!data) return std::string();
    const char* text = static_cast<const char*>(data);
    const char* terminator = static_cast<const char*>(memchr(text, '\0', size));
    return std::string(text, terminator ? static_cast<size_t>(terminator - text) : size);
}
