// libFuzzer target over what the player sends in WM_COPYDATA: the token lists and key strings, and
// the track list, album list and header built from them. The first byte picks the message; the
// rest is the block, of exactly the size cbData would give. Built natively with sanitizers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "navigator/EntryModel.h"
#include "navigator/TokenList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t* block = data + 1;
    size_t length = size - 1;
    TokenList tokens(block, length);
    // Every token is made of the block's bytes: together never more than the block.
    size_t bytes = 0;
    for (size_t i = 0; i < tokens.Count(); ++i) bytes += tokens[i].size() + 1;
    if (bytes > length + 1) __builtin_trap();
    switch (data[0] % 4) {
        case 0: {
            EntryArray tracks;
            BuildTrackEntries(tokens, data[0] & 4, tracks);
            if (tracks.size() != (tokens.Count() + 2) / 3) __builtin_trap();
            // Each string is its token, zero-ended in the list's own text.
            for (size_t i = 0; i < tracks.size(); ++i) {
                const NavigatorEntry& e = tracks[i];
                for (size_t k = 0; k < 3; ++k) {
                    std::string_view text = k == 0 ? e.path : k == 1 ? e.name : e.qualifier;
                    if (text != tokens[3 * i + k] || text.data()[text.size()]) __builtin_trap();
                }
            }
            break;
        }
        case 1: {
            EntryArray albums;
            BuildAlbumEntries(tokens, albums);
            if (!albums.empty() && albums.size() * 3 != tokens.Count()) __builtin_trap();
            break;
        }
        case 2: {
            std::string key, title;
            if (ParseListHeader(tokens, &key, &title) != (tokens.Count() == 3)) __builtin_trap();
            break;
        }
        default:
            if (ParseKeyString(block, length).size() > length) __builtin_trap();
    }
    return 0;
}
