#pragma once
#include <array>
#include <deque>

// What the flash check and the limiter read a picture as: linear light, relative luminance and
// the red value, and the runs and transitions of one such signal over time. Both count with the
// same code, so that the limiter never sees fewer transitions than the check will.
namespace flashsignal {
// sRGB bytes to linear light.
const std::array<float, 256>& linearTable();

inline float luminance(const float* rgb) {
    return 0.2126f * rgb[0] + 0.7152f * rgb[1] + 0.0722f * rgb[2];
}
// The red value before negative values are cut to 0: linear in the colour, as a mix is.
inline float redLinear(const float* rgb) {
    return (rgb[0] - rgb[1] - rgb[2]) * 320.0f;
}
inline float redness(const float* rgb) {
    const float red = redLinear(rgb);
    return red > 0.0f ? red : 0.0f;
}
} // namespace flashsignal

// One signal's current run of same-direction changes and its recent transitions. A run that has
// changed by the threshold, with the flag set at one of its ends, makes a transition, unless the
// transition before it went the same way.
class FlashTrack {
  public:
    // How a transition is dated. The check dates it by the frame where its run first reached the
    // threshold. The limiter dates it by the last frame of the runs that made it, so that a
    // transition it counts earlier than the check (it counts a little earlier) still lasts as
    // long in its window as the check's.
    enum class Dated { whenReached, byLastFrame };

    // `turnAfter`: how far a run must go back from its furthest value to turn. The check turns at
    // any step back; the limiter, whose picture is an estimate a byte or so off the frame as
    // recorded, lets smaller steps back continue the run, so that their noise cannot split a run
    // the check sees whole.
    explicit FlashTrack(Dated dated = Dated::whenReached, float turnAfter = 0.0f)
        : dated(dated), turnAfter(turnAfter) {}

    // Forgets the transitions at or before `time`.
    void expire(double time);
    // The signal's next value, at `time`.
    void add(float value, bool flag, float threshold, double time);
    // Transitions since the last expire.
    int transitions() const { return static_cast<int>(times.size()); }
    // Forgets everything: the next value starts the signal.
    void reset() { *this = FlashTrack(dated, turnAfter); }

    bool primed() const { return started; }
    // The value furthest along the current run: where a run turning back would begin.
    float furthest() const { return furthestValue; }
    float runStart() const { return start; }
    signed char direction() const { return runDirection; }
    // Whether the current run has made (or repeated) a transition.
    bool runCounted() const { return counted; }

  private:
    Dated dated;
    float turnAfter;
    float lastValue = 0.0f;
    float furthestValue = 0.0f;
    bool furthestFlag = false;
    float start = 0.0f;     // where the current run began
    bool startFlag = false; // the flag where the run began
    signed char runDirection = 0;
    signed char lastTransition = 0; // direction of the last transition counted
    bool counted = false;
    bool started = false;
    std::deque<double> times; // of the transitions still in the window
};
