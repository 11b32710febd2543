// What the process holds, counted while a test runs: kernel handles from the system's handle
// table, the GDI and USER objects made and freed through this program's imports (their create
// and destroy functions are replaced by counting ones), its threads, and the
// bytes in use in its heaps (Wine's GetProcessMemoryInfo says 0, and the committed private memory
// swings by megabytes as the heaps take and give back regions).
#pragma once

#include <cstddef>

struct Holdings {
    size_t handles = 0;
    size_t gdi = 0;   // bitmaps, fonts, brushes, device contexts
    size_t user = 0;  // menus and icons
    size_t threads = 0;
    size_t heapBytes = 0;
};

class HoldingsCounter {
public:
    HoldingsCounter();
    ~HoldingsCounter();
    HoldingsCounter(const HoldingsCounter&) = delete;
    HoldingsCounter& operator=(const HoldingsCounter&) = delete;

    bool Counting() const;
    Holdings Now() const;
};
