// The remotes' button codes and what they ask of the Navigator. Pure logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

// The button code of a raw HID report as GetRawInputData returns it: `headerSize` bytes of
// header, then the HID block (report size, report count, report bytes). Byte 1 of the first
// report, with byte 2 as its high byte when reports are 3 bytes or longer. False when the report
// is not HID, is shorter than 2 bytes, or lies beyond the `size` bytes read.
bool ParseHidButton(const uint8_t* data, size_t size, size_t headerSize, uint32_t* code);

// The command of a Media Center remote's raw button code; 0 (CMD_NONE) when the code means
// nothing, which is never a command of the table.
int MapRawButton(uint32_t code, bool shown);

// The command of an application command value (1..52) while the Navigator is shown; -1 when
// the value is not taken.
int MapAppCommandValue(int value);

// The command of a Streamzap button code: a command, or for the digit buttons -(digit) - 100
// (see StreamzapDigit); -1 when the code does nothing.
int MapStreamzapButton(uint32_t code, bool shown);
// The digit of a MapStreamzapButton result for a digit button (1..9, or 0); -1 otherwise.
int StreamzapDigit(int mapped);

// RegisterHotKey's modifiers for the stored hot key: bit 16 Shift, 17 Control, 18 Alt.
unsigned HotKeyModifiers(uint32_t hotKey);
