#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

// The best of several runs of Work, in milliseconds.
inline double BestMs(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                      .count());
    }
    return best;
}
