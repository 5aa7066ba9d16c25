// Timing of repeated runs for the benchmark executables.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace radmtf::bench {

// The median wall time of `runs` calls, in milliseconds.
template <typename F>
double MedianMilliseconds(int runs, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace radmtf::bench
