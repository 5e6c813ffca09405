// The plain-text PPM of the particle logo: "P3", one comment line, the size, "255",
// then the pixels from the top row, a few "r g b" triples per line. Covered pixels
// are pure black (0 0 0), all others white.
#pragma once

#include <string>

#include "canvas.h"

// A pixel counts as logo when the mask covers at least half of it.
inline constexpr float kLogoCoverageThreshold = 0.5f;
inline constexpr int kPpmPixelsPerLine = 5;

std::string logoPpmText(const Mask& mask);
