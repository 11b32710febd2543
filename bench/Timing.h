// Timing for the benchmarks: wall-clock seconds from the performance counter.
#pragma once

#include <windows.h>

#include <functional>

inline double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

// Seconds per call of `step`, over at least `budget` seconds; `setup` runs untimed before each.
inline double Time(double budget, const std::function<void()>& step, const std::function<void()>& setup = nullptr) {
    if (setup) setup();
    step();
    int runs = 0;
    double spent = 0;
    do {
        if (setup) setup();
        double start = Seconds();
        step();
        spent += Seconds() - start;
        ++runs;
    } while (spent < budget);
    return spent / runs;
}
