// Timing for the benchmarks: wall-clock seconds from the performance counter.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

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

// Median seconds per call of `a` and of `b`, run alternately for `rounds` rounds, so that both
// see the same conditions of the machine.
inline std::pair<double, double> CompareAlternating(int rounds, const std::function<void()>& a,
                                                    const std::function<void()>& b) {
    std::vector<double> ta, tb;
    a();
    b();
    for (int i = 0; i < rounds; ++i) {
        double start = Seconds();
        a();
        double middle = Seconds();
        b();
        ta.push_back(middle - start);
        tb.push_back(Seconds() - middle);
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return {ta[ta.size() / 2], tb[tb.size() / 2]};
}
