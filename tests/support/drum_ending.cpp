#include "support/drum_ending.h"

#include <algorithm>
#include <cmath>

double lastDrumBeat(const std::vector<float>& mono, int rate, double firstBeat,
                    double beatSeconds) {
    std::vector<double> energy;
    const auto length = static_cast<long>(beatSeconds * rate);
    for (double at = firstBeat; at >= 0.0; at += beatSeconds) {
        const long start = std::max(2L, std::lround(at * rate));
        if (start + length > static_cast<long>(mono.size())) {
            break;
        }
        double sum = 0.0;
        for (long i = start; i < start + length; ++i) {
            const double d = mono[i] - 2.0 * mono[i - 1] + mono[i - 2];
            sum += d * d;
        }
        energy.push_back(std::sqrt(sum / length));
    }
    if (energy.size() < 5) {
        return -1.0;
    }
    const double threshold = 0.75 * *std::min_element(energy.begin(), energy.begin() + 4);
    double last = -1.0;
    for (size_t k = 0; k < energy.size(); ++k) {
        if (energy[k] >= threshold) {
            last = firstBeat + k * beatSeconds;
        }
    }
    return last;
}
