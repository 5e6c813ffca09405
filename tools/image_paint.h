// Painting helpers shared by the pictures and the intro frames.
#pragma once

#include <cstdint>
#include <span>

#include "canvas.h"

// Near-black backdrop with a soft vignette and faint cloudy texture; `centre` and
// `corner` are the brightness (0..1) in the middle and at the corners.
Canvas darkBackdrop(int width, int height, std::uint32_t seed, float centre, float corner);

// Strokes given in the 1920 by 1080 reference frame, drawn at the canvas size: an
// optional glow (blurred coverage, glowRadius reference pixels, 0 for none) under the ink.
void paintStrokes(Canvas& canvas, std::span<const Capsule> strokes, Rgba ink, Rgba glow, float glowRadius);

// Scale from the reference frame to the canvas, and the vertical offset that centres
// a 16:9 layout on it.
float referenceScale(const Canvas& canvas);
float referenceOffsetY(const Canvas& canvas);

inline constexpr Rgba kInk{0.96f, 0.94f, 0.90f, 1.0f};
inline constexpr Rgba kDimInk{0.62f, 0.60f, 0.58f, 1.0f};
inline constexpr Rgba kWarmGlow{0.95f, 0.62f, 0.32f, 0.55f};
