#include "flash/flash_signal.h"

#include <cmath>

const std::array<float, 256>& flashsignal::linearTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            t[i] =
                static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

void FlashTrack::expire(double time) {
    while (!times.empty() && times.front() <= time) {
        times.pop_front();
    }
}

void FlashTrack::add(float value, bool flag, float threshold, double time) {
    if (!started) {
        lastValue = start = furthestValue = value;
        startFlag = furthestFlag = flag;
        started = true;
        return;
    }
    const float change = value - lastValue;
    const signed char direction = change > 0.0f ? 1 : (change < 0.0f ? -1 : 0);
    float along = (value - furthestValue) * runDirection;
    if (direction != 0 && direction != runDirection &&
        (runDirection == 0 || std::fabs(value - furthestValue) > turnAfter)) {
        along = std::fabs(value - furthestValue);
        // The run turns: the new one begins where the last one went furthest.
        start = furthestValue;
        startFlag = furthestFlag;
        runDirection = direction;
        counted = false;
        furthestValue = value;
        furthestFlag = flag;
    } else if (along >= 0.0f) {
        furthestValue = value;
        furthestFlag = flag;
    }
    lastValue = value;
    if (!counted && runDirection != 0 && std::fabs(value - start) >= threshold &&
        (flag || startFlag)) {
        counted = true;
        if (runDirection != lastTransition) {
            lastTransition = runDirection;
            times.push_back(time);
            return;
        }
    }
    // A run that made the last transition, or repeated it, and goes further.
    if (dated == Dated::byLastFrame && counted && runDirection == lastTransition && along > 0.0f) {
        if (times.empty()) {
            times.push_back(time);
        } else {
            times.back() = time;
        }
    }
}
