#include "capture/progress.h"

#include "schedule/schedule.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

std::vector<double> expectedCostsBefore(const FrameRange& range, int fps) {
    std::vector<double> costBefore = {0.0};
    for (long n = range.first; n < range.end; ++n) {
        const float demoTime = recordingDemoTime(frameSeconds(n, fps));
        costBefore.push_back(costBefore.back() + expectedFrameCost(demoTime));
    }
    return costBefore;
}

double secondsLeft(const std::vector<double>& costBefore, long done, double elapsedSeconds) {
    const long total = static_cast<long>(costBefore.size()) - 1;
    if (done <= 0 || done > total || costBefore[done] <= 0.0) {
        return -1.0;
    }
    const double pace = elapsedSeconds / costBefore[done];
    return std::max(0.0, pace * (costBefore[total] - costBefore[done]));
}

std::string formatDuration(double seconds) {
    const long total = std::lround(std::max(seconds, 0.0));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

Progress::Progress(const FrameRange& range, int fps, std::FILE* out)
    : total(range.count()), out(out), started(Clock::now()), lastDrawn(started),
      lineByLine(isatty(fileno(out)) == 0), costBefore(expectedCostsBefore(range, fps)),
      lastFrame(started) {}

void Progress::frameDone(const char* sceneName) {
    ++done;
    const Clock::time_point now = Clock::now();
    const double frameSeconds = std::chrono::duration<double>(now - lastFrame).count();
    lastFrame = now;
    if (sceneTimes.empty() || std::string(sceneTimes.back().scene) != sceneName) {
        sceneTimes.push_back({sceneName, 0, 0.0});
    }
    sceneTimes.back().frames += 1;
    sceneTimes.back().seconds += frameSeconds;
    const double sinceDrawn = std::chrono::duration<double>(now - lastDrawn).count();
    const bool due = lineByLine
                         ? sinceDrawn >= 10.0 || done * 20 / total > lastDrawnDone * 20 / total
                         : sinceDrawn >= 0.25;
    if (due || done == total) {
        lastDrawn = now;
        draw();
    }
}

void Progress::draw() {
    char line[160];
    const double percent = total > 0 ? 100.0 * done / total : 100.0;
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const double toGo = secondsLeft(costBefore, done, seconds);
    const std::string left = toGo >= 0.0 ? formatDuration(toGo) : std::string("?");
    const SceneTime current = sceneTimes.empty() ? SceneTime{"", 0, 0.0} : sceneTimes.back();
    const int width = std::snprintf(
        line, sizeof line, "frame %ld/%ld (%.0f%%)  %s  %.1f fps  %s left", done, total, percent,
        current.scene, current.frames / std::max(current.seconds, 1e-6), left.c_str());
    // Pad over the rest of a longer previous line.
    const size_t length = static_cast<size_t>(std::max(width, 0));
    if (lineByLine) {
        std::fprintf(out, "%s\n", line);
    } else {
        std::fprintf(out, "\r%s%*s", line,
                     static_cast<int>(lastWidth > length ? lastWidth - length : 0), "");
    }
    std::fflush(out);
    lastWidth = length;
    lastDrawnDone = done;
}

void Progress::finish() {
    if (lastDrawnDone != done) {
        draw();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::fprintf(out, "%s%ld frames in %s (%.1f fps)", lineByLine ? "" : "\n", done,
                 formatDuration(seconds).c_str(), seconds > 0.0 ? done / seconds : 0.0);
    const char* separator = "; by scene: ";
    for (const SceneTime& part : sceneTimes) {
        if (std::string(part.scene) == "none") {
            continue; // a frame on a bound only repeats the picture before it
        }
        std::fprintf(out, "%s%s %.1f fps", separator, part.scene,
                     part.seconds > 0.0 ? part.frames / part.seconds : 0.0);
        separator = ", ";
    }
    std::fprintf(out, "\n");
    std::fflush(out);
}
