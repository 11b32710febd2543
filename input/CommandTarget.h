// The commands every input road ends in, and the one dispatcher they are handed to. Codes below
// 1000 act only on the visible Navigator; codes from 1001 act in both states. Pure: no <windows.h>.
#pragma once

enum Command : int {
    CMD_NONE = 0,
    CMD_DELETE = 1,
    CMD_SORT = 2,
    CMD_REFRESH = 3,
    CMD_PAGE_UP = 4,
    CMD_PAGE_DOWN = 5,
    CMD_HOME = 6,
    CMD_END = 7,
    CMD_NAVIGATOR = 1001,
    CMD_ALBUMS = 1002,
    CMD_NEXT_LIST = 1003,
    CMD_PREV_LIST = 1004,
    CMD_UP = 1005,
    CMD_DOWN = 1006,
    CMD_LEFT = 1007,
    CMD_RIGHT = 1008,
    CMD_OK = 1009,
    CMD_ESCAPE = 1010,
    CMD_HOST_7032 = 1011,
    CMD_AUDIO = 1012,
    CMD_SUBTITLE = 1013,
    CMD_DISC_MODE = 1014,
    CMD_FILE_MODE = 1015,
    CMD_HOST_5171 = 1016,
    CMD_SELECT = 1017,
    CMD_HOST_5104_IF = 1018,
    CMD_HOST_5102 = 1019,
    CMD_HOST_5107 = 1020,
    CMD_HOST_5108 = 1021,
    CMD_HOST_5115 = 1022,
    CMD_HOST_5116 = 1023,
    CMD_HOST_5135 = 1024,
    CMD_HOST_5134 = 1025,
    CMD_HOST_5172 = 1026,
    CMD_HOST_5205 = 1027,
};

constexpr int kFirstBothStatesCommand = 1000;

// The dispatcher: the Navigator, as the input roads see it.
class CommandTarget {
public:
    // 1 when the command was taken, 0 when it was not (default processing may follow).
    virtual int HandleCommand(int command) = 0;
    // A digit button: the entry of that number, or a track for the player while hidden.
    virtual int SelectNumber(int number) = 0;
    // The hot key and the tray icon: the track list, shown from any state.
    virtual void ShowTrackList() = 0;

protected:
    ~CommandTarget() = default;
};
