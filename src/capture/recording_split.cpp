#include "capture/recording_split.h"

#include "capture/time_left.h"

#include <algorithm>

std::vector<FrameRange> splitByCost(FrameRange range, int fps, int parts) {
    parts = static_cast<int>(std::min<long>(std::max(parts, 1), std::max(range.count(), 1L)));
    double total = 0.0;
    for (long n = range.first; n < range.end; ++n) {
        total += expectedFrameCost(recordingDemoTime(frameSeconds(n, fps)));
    }
    std::vector<FrameRange> pieces;
    FrameRange piece{range.first, range.first};
    double spent = 0.0;
    for (long n = range.first; n < range.end; ++n) {
        spent += expectedFrameCost(recordingDemoTime(frameSeconds(n, fps)));
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
