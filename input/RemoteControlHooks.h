// What RemoteControl lets a test replace or reset, and the checks it makes on a registration.
#pragma once

#include <windows.h>

using GetRawInputDataFn = UINT(WINAPI*)(HRAWINPUT, UINT, LPVOID, PUINT, UINT);
using RegisterRawInputDevicesFn = BOOL(WINAPI*)(PCRAWINPUTDEVICE, UINT, UINT);

// Where reports are read from: user32's GetRawInputData, looked up at each call, unless a test
// has put a reader of its own here.
extern GetRawInputDataFn g_rawInputReader;

// The checks Windows makes on a registration (Wine lets some through): an input sink needs its
// target window, a removal must not name one, and the size must be the structure's.
bool ValidRawInputDevices(const RAWINPUTDEVICE* devices, UINT count, UINT size);

// The shell hook looks for the keyboard program once per load of the module; this forgets that
// it did, as a new load would.
void ForgetKeyboardProgramScan();

#ifdef __i386__
static_assert(sizeof(RAWINPUTDEVICE) == 12, "the remote's devices are registered as 12-byte elements");
static_assert(sizeof(RAWINPUTHEADER) == 16, "a raw report starts with a 16-byte header");
#endif
