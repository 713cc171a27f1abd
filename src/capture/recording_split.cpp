#include "capture/recording_split.h"

#include <algorithm>

int defaultJobs() {
    return 2;
}

double frameCost(double seconds) {
    // Milliseconds a 1920x1080 frame took to render on llvmpipe, by the stretch it falls in,
    // plus about 40 ms of reading back, converting and encoding that every frame pays.
    struct Stretch {
        double end;
        double renderMs;
    };
    static const Stretch stretches[] = {
        {24.0, 11.0},   {44.0, 4.0},   {67.0, 11.0},   {83.0, 13.0},
        {112.0, 178.0}, {129.0, 15.0}, {141.0, 168.0}, {151.0, 95.0},
    };
    constexpr double lastGridMs = 2700.0; // 151 s to the end: 300 spheres fill the screen
    constexpr double everyFrameMs = 40.0;
    for (const Stretch& stretch : stretches) {
        if (seconds < stretch.end) {
            return stretch.renderMs + everyFrameMs;
        }
    }
    return lastGridMs + everyFrameMs;
}

std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts) {
    parts = static_cast<int>(std::min<long>(std::max(parts, 1), std::max(range.count(), 1L)));
    double total = 0.0;
    for (long n = range.first; n < range.end; ++n) {
        total += frameCost(frameSeconds(n, fps));
    }
    std::vector<FrameRange> pieces;
    FrameRange piece{range.first, range.first};
    double spent = 0.0;
    for (long n = range.first; n < range.end; ++n) {
        spent += frameCost(frameSeconds(n, fps));
        piece.end = n + 1;
        const int cut = static_cast<int>(pieces.size()) + 1;
        // Cut once this piece reaches its share, leaving at least a frame for each piece after.
        const long piecesLeft = parts - cut;
        if (cut < parts && spent >= total * cut / parts && range.end - piece.end >= piecesLeft) {
            pieces.push_back(piece);
            piece = {n + 1, n + 1};
        } else if (cut < parts && range.end - piece.end == piecesLeft) {
            pieces.push_back(piece); // as many frames left as pieces: one each
            piece = {n + 1, n + 1};
        }
    }
    pieces.push_back(piece);
    return pieces;
}
