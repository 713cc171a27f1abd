#pragma once
// The measures several benchmarks share: the CPU time of this process and a median.
#include <algorithm>
#include <ctime>
#include <vector>

// CPU time of the whole process, Mesa's render threads included: on a machine shared with other
// work it shows the cost of a frame where the wall clock also shows the waiting.
inline double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}
