// Keyboard modifier state and mouse-leave tracking.
#pragma once

#include <windows.h>

enum ModifierKey : unsigned {
    kModifierAlt = 1,
    kModifierCtrl = 2,
    kModifierShift = 4,
};

// The ModifierKey bits of the keys held down now.
unsigned GetModifierKeys();
// Asks for one WM_MOUSELEAVE for `window`; does nothing where TrackMouseEvent is missing.
void HoverTracking(HWND window);
