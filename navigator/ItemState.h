// The state word of an entry or the close button as drawn, and what the mouse is over.
#pragma once

// Low byte: how the entry is drawn; the hot bit: it is under the mouse.
constexpr int kStateNormal = 1;
constexpr int kStateSelected = 2;
constexpr int kStatePressed = 3;
constexpr int kStateHot = 0x8000;

// What `hot` and HitTest name besides an entry index.
constexpr int kHotCloseButton = -13;
constexpr int kHotHeader = -10;
constexpr int kHotNone = -1;
