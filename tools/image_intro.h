// The intro sequence "intro_oneeyewhore_N.png", N = 1..15: an eye opens, looks around,
// blinks, then shrinks into the mark of the logo while the title is written under it.
// Transparent around the drawing so the particles show through.
#pragma once

#include "canvas.h"

inline constexpr int kIntroFrameCount = 15;

// Frame `index` (1..15; others are clamped) at width by height, RGBA.
Canvas makeIntroFrame(int index, int width, int height);
