// The bar a real-time run shows while it loads: a track across the middle of the window,
// filled as the resources come in, so the window is never a black wait. Captures and videos
// never show it (they draw nothing until their first frame).
#pragma once

// A box in window pixels, from the lower left corner.
struct LoadingBarBox {
    int x = 0, y = 0, width = 0, height = 0;
};

// The track: 0.4 of the window's width, a hundredth of its height (at least 4 pixels),
// centred.
LoadingBarBox loadingBarTrack(int windowWidth, int windowHeight);
// The filled part of the track after `done` of `total` steps (clamped to the track).
LoadingBarBox loadingBarFill(const LoadingBarBox& track, int done, int total);

// Counts the loading steps and, when shown, redraws the bar after each.
struct LoadingProgress {
    bool shown = false;
    int done = 0;
    int total = 1;
};
extern LoadingProgress loadingProgress;

// Starts counting `total` steps; draws the empty bar when `shown`. Needs GL entry points.
void beginLoadingBar(bool shown, int total);
// One more step done.
void advanceLoadingBar();
