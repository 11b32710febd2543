// What the process holds, counted while a test runs: kernel handles from the system's handle
// table, and the GDI and USER objects made and freed through this program's imports (their create
// and destroy functions are replaced by counting ones).
#pragma once

#include <cstddef>

struct Holdings {
    size_t handles = 0;
    size_t gdi = 0;   // bitmaps, fonts, brushes, device contexts
    size_t user = 0;  // menus and icons
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
