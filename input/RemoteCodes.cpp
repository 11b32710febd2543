#include "input/RemoteCodes.h"

#include <cstring>

#include "input/CommandTarget.h"

namespace {

constexpr uint32_t kHidType = 2;  // RIM_TYPEHID
constexpr int kDigitBase = -100;

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool ParseHidButton(const uint8_t* data, size_t size, size_t headerSize, uint32_t* code) {
    if (!data || size < headerSize + 8 || Get32(data) != kHidType) return false;
    uint32_t sizeHid = Get32(data + headerSize);
    if (sizeHid < 2) return false;
    const uint8_t* report = data + headerSize + 8;
    size_t available = size - headerSize - 8;
    size_t needed = sizeHid >= 3 ? 3 : 2;
    if (available < needed) return false;
    *code = report[1] + (sizeHid >= 3 ? 256u * report[2] : 0u);
    return true;
}

int MapRawButton(uint32_t code, bool shown) {
    switch (code) {
        case 0x000F: return CMD_FILE_MODE;
        case 0x0014: return CMD_NAVIGATOR;
        case 0x001B: return CMD_SORT;
        case 0x0024: return CMD_DISC_MODE;
        case 0x0025: return shown ? CMD_REFRESH : CMD_SUBTITLE;
        case 0x0027: return CMD_HOST_5205;
        case 0x0048: return CMD_FILE_MODE;
        case 0x004B: return CMD_HOST_7032;
        case 0x004C: return CMD_AUDIO;
        case 0x004D: return CMD_SUBTITLE;
        case 0x008D: return CMD_NAVIGATOR;
        case 0x0209: return shown ? CMD_SORT : CMD_AUDIO;
        default: return CMD_NONE;
    }
}

int MapAppCommandValue(int value) {
    switch (value) {
        case 1: return CMD_REFRESH;   // browser back
        case 8: return CMD_DELETE;    // mute
        case 9:                       // volume down and up, next and previous track: kept from
        case 10:                      // the player and the system while the Navigator is shown
        case 11:
        case 12: return CMD_NONE;
        case 13: return CMD_ESCAPE;   // stop
        case 14:                      // play/pause
        case 46: return CMD_OK;       // play
        case 47:                      // pause, record, fast forward, rewind
        case 48:
        case 49:
        case 50: return CMD_NONE;
        case 51: return CMD_NEXT_LIST;  // channel up
        case 52: return CMD_PREV_LIST;  // channel down
        default: return -1;
    }
}

int MapStreamzapButton(uint32_t code, bool shown) {
    static const int kCommands[] = {
        CMD_HOST_5171, CMD_HOST_5135, CMD_HOST_5134, CMD_HOST_5172, CMD_NEXT_LIST, CMD_PREV_LIST, CMD_SELECT,
        CMD_HOST_5104_IF, -2 /* 8: by state */, -1 /* 9: nothing */, CMD_HOST_5107, CMD_HOST_5108, CMD_HOST_5115,
        CMD_HOST_5116, CMD_UP, CMD_DOWN, CMD_LEFT, CMD_RIGHT, CMD_OK, CMD_NAVIGATOR, CMD_ESCAPE,
    };
    if (code < sizeof(kCommands) / sizeof(*kCommands)) {
        int command = kCommands[code];
        if (command == -2) return shown ? CMD_ESCAPE : CMD_HOST_5102;
        return command;
    }
    if (code >= 21 && code <= 29) return kDigitBase - static_cast<int>(code - 20);
    if (code == 30) return kDigitBase;
    switch (code) {
        case 31: return shown ? CMD_SORT : CMD_AUDIO;
        case 32: return shown ? CMD_REFRESH : CMD_SUBTITLE;
        case 33: return CMD_FILE_MODE;
        case 34: return CMD_DISC_MODE;
        default: return -1;
    }
}

int StreamzapDigit(int mapped) { return mapped <= kDigitBase && mapped >= kDigitBase - 9 ? kDigitBase - mapped : -1; }

unsigned HotKeyModifiers(uint32_t hotKey) {
    constexpr uint32_t kShift = 0x00010000, kControl = 0x00020000, kAlt = 0x00040000;
    constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4;
    unsigned modifiers = 0;
    if (hotKey & kAlt) modifiers |= kModAlt;
    if (hotKey & kControl) modifiers |= kModControl;
    if (hotKey & kShift) modifiers |= kModShift;
    return modifiers;
}
