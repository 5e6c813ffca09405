// The loading bar's geometry and its count of steps.
#include "program/loading_bar.h"

#include <algorithm>
#include <cmath>

LoadingProgress loadingProgress;

LoadingBarBox loadingBarTrack(int windowWidth, int windowHeight) {
    const int w = std::max(windowWidth, 0);
    const int h = std::max(windowHeight, 0);
    const int width = static_cast<int>(std::lround(0.4 * w));
    const int height = std::min(h, std::max(4, static_cast<int>(std::lround(0.01 * h))));
    return {(w - width) / 2, (h - height) / 2, width, height};
}

LoadingBarBox loadingBarFill(const LoadingBarBox& track, int done, int total) {
    LoadingBarBox fill = track;
    const double share = total > 0 ? std::clamp(static_cast<double>(done) / total, 0.0, 1.0) : 1.0;
    fill.width = static_cast<int>(std::lround(share * track.width));
    return fill;
}
