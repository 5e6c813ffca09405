// Float pictures for the generated images: an RGBA canvas, a coverage mask that shapes
// are stamped into, value noise, and the JPEG/PNG writers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

// Row 0 is the top row; four floats per pixel, colours in [0, 1], straight alpha.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;
};

// Coverage in [0, 1] per pixel; shapes are merged with max so overlapping strokes of
// one drawing do not add up.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> coverage;
};

// A line from (x0, y0) to (x1, y1) with round ends; a zero-length one is a disc.
struct Capsule {
    float x0, y0, x1, y1, radius;
};

Canvas makeCanvas(int width, int height, Rgba fill);
Mask makeMask(int width, int height);

inline float* pixelAt(Canvas& canvas, int x, int y) {
    return canvas.pixels.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width) + static_cast<std::size_t>(x)) * 4;
}
inline const float* pixelAt(const Canvas& canvas, int x, int y) {
    return canvas.pixels.data() +
           (static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas.width) + static_cast<std::size_t>(x)) * 4;
}

// Source-over of colour with alpha colour.a * amount; pixels outside are ignored.
void blendPixel(Canvas& canvas, int x, int y, Rgba colour, float amount);

// Stamps the capsule with an anti-aliased edge `softness` pixels wide.
void stampCapsule(Mask& mask, const Capsule& capsule, float softness = 1.0f);
void stampCapsules(Mask& mask, std::span<const Capsule> capsules, float softness = 1.0f);
// Capsules given in a reference frame, scaled by `scale` and moved by (dx, dy).
void stampScaledCapsules(Mask& mask, std::span<const Capsule> capsules, float scale, float dx, float dy,
                         float radiusGrow = 0.0f, float softness = 1.0f);

// Blends one soft shape straight onto the canvas (only its own box is visited).
void paintCapsule(Canvas& canvas, const Capsule& capsule, Rgba colour, float softness = 1.0f);

// Blends colour over the canvas wherever the mask covers it (same size required).
void paintMask(Canvas& canvas, const Mask& mask, Rgba colour);
// Spreads the mask with a box blur of the given radius, run three times (close to a
// gaussian); used for glows.
Mask blurredMask(const Mask& mask, int radius);

// Smooth value noise in about [0, 1], one lattice cell per unit.
float valueNoise(float x, float y, std::uint32_t seed);
// Sum of `octaves` noise layers, each twice as fine and half as strong, in about [0, 1].
float fractalNoise(float x, float y, int octaves, std::uint32_t seed);

float smoothStep(float edge0, float edge1, float x);
float mixf(float a, float b, float t);
Rgba mixColour(Rgba a, Rgba b, float t);

// 8-bit bytes of the canvas, rounded; 3 (RGB, with a small deterministic dither against
// banding in the dark gradients) or 4 (RGBA, undithered) bytes per pixel, rows from the top.
std::vector<std::uint8_t> canvasBytes(const Canvas& canvas, int channels);

// Throw std::runtime_error naming the file when SDL_image cannot write it.
void saveJpeg(const Canvas& canvas, const std::filesystem::path& path, int quality = 90);
void savePng(const Canvas& canvas, const std::filesystem::path& path);
