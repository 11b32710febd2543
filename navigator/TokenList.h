// The player's token lists: zero-terminated 8-bit strings one after the other, ended by an empty
// string. Pure byte logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Tokens are views into the parsed bytes, which must outlive the list.
class TokenList {
public:
    TokenList() = default;
    // Parses at most `size` bytes: parsing stops at the first empty string, and a last token
    // without its terminator ends at `size`. Null or empty data are an empty list.
    TokenList(const void* data, size_t size);

    size_t Count() const { return tokens_.size(); }
    // Token `index`, or the empty string beyond the end.
    std::string_view operator[](size_t index) const {
        return index < tokens_.size() ? tokens_[index] : std::string_view();
    }

private:
    std::vector<std::string_view> tokens_;
};

// The key string of a key message: the text up to its terminator or to `size`.
std::string ParseKeyString(const void* data, size_t size);
