// Float pictures for the generated images: canvas and mask, capsule stamping, noise and
// the JPEG/PNG writers.
#include "canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "image_random.h"

Canvas makeCanvas(int width, int height, Rgba fill) {
    Canvas canvas;
    canvas.width = std::max(width, 0);
    canvas.height = std::max(height, 0);
    canvas.pixels.resize(static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height) * 4);
    for (std::size_t i = 0; i < canvas.pixels.size(); i += 4) {
        canvas.pixels[i] = fill.r;
        canvas.pixels[i + 1] = fill.g;
        canvas.pixels[i + 2] = fill.b;
        canvas.pixels[i + 3] = fill.a;
    }
    return canvas;
}

Mask makeMask(int width, int height) {
    Mask mask;
    mask.width = std::max(width, 0);
    mask.height = std::max(height, 0);
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0.0f);
    return mask;
}

void blendPixel(Canvas& canvas, int x, int y, Rgba colour, float amount) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    const float a = std::clamp(colour.a * amount, 0.0f, 1.0f);
    if (a <= 0.0f) return;
    float* p = pixelAt(canvas, x, y);
    const float outA = a + p[3] * (1.0f - a);
    if (outA <= 0.0f) return;
    const float keep = p[3] * (1.0f - a);
    p[0] = (colour.r * a + p[0] * keep) / outA;
    p[1] = (colour.g * a + p[1] * keep) / outA;
    p[2] = (colour.b * a + p[2] * keep) / outA;
    p[3] = outA;
}

namespace {

// Pixel range [low, high) of a span of float coordinates, clipped to [0, size).
void clippedRange(float low, float high, int size, int& first, int& last) {
    const float lo = std::clamp(std::floor(low), 0.0f, static_cast<float>(size));
    const float hi = std::clamp(std::ceil(high), 0.0f, static_cast<float>(size));
    first = static_cast<int>(lo);
    last = static_cast<int>(hi);
    if (!(low <= high)) last = first;  // NaN or reversed: nothing
}

}  // namespace

namespace {

// Visits every pixel near the capsule with its coverage (anti-aliased over `softness`).
template <class Visit>
void forCapsulePixels(int width, int height, const Capsule& capsule, float softness, Visit&& visit) {
    const float soft = std::max(softness, 0.01f);
    const float reach = capsule.radius + soft;
    int x0, x1, y0, y1;
    clippedRange(std::min(capsule.x0, capsule.x1) - reach, std::max(capsule.x0, capsule.x1) + reach, width, x0, x1);
    clippedRange(std::min(capsule.y0, capsule.y1) - reach, std::max(capsule.y0, capsule.y1) + reach, height, y0, y1);
    const float dx = capsule.x1 - capsule.x0;
    const float dy = capsule.y1 - capsule.y0;
    const float lengthSquared = dx * dx + dy * dy;
    for (int y = y0; y < y1; ++y) {
        const float py = static_cast<float>(y) + 0.5f - capsule.y0;
        for (int x = x0; x < x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f - capsule.x0;
            float t = lengthSquared > 0.0f ? (px * dx + py * dy) / lengthSquared : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            const float ex = px - t * dx;
            const float ey = py - t * dy;
            const float distance = std::sqrt(ex * ex + ey * ey);
            const float c = std::clamp((capsule.radius - distance) / soft + 0.5f, 0.0f, 1.0f);
            if (c > 0.0f) visit(x, y, c);
        }
    }
}

}  // namespace

void stampCapsule(Mask& mask, const Capsule& capsule, float softness) {
    forCapsulePixels(mask.width, mask.height, capsule, softness, [&](int x, int y, float c) {
        float& cell = mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                                    static_cast<std::size_t>(x)];
        cell = std::max(cell, c);
    });
}

void paintCapsule(Canvas& canvas, const Capsule& capsule, Rgba colour, float softness) {
    forCapsulePixels(canvas.width, canvas.height, capsule, softness,
                     [&](int x, int y, float c) { blendPixel(canvas, x, y, colour, c); });
}

void stampCapsules(Mask& mask, std::span<const Capsule> capsules, float softness) {
    for (const Capsule& capsule : capsules) stampCapsule(mask, capsule, softness);
}

void stampScaledCapsules(Mask& mask, std::span<const Capsule> capsules, float scale, float dx, float dy,
                         float radiusGrow, float softness) {
    for (const Capsule& c : capsules) {
        stampCapsule(mask,
                     Capsule{c.x0 * scale + dx, c.y0 * scale + dy, c.x1 * scale + dx, c.y1 * scale + dy,
                             c.radius * scale + radiusGrow},
                     softness);
    }
}

void paintMask(Canvas& canvas, const Mask& mask, Rgba colour) {
    if (mask.width != canvas.width || mask.height != canvas.height) {
        throw std::invalid_argument("paintMask: mask and canvas differ in size");
    }
    for (int y = 0; y < canvas.height; ++y) {
        const float* row = mask.coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width);
        for (int x = 0; x < canvas.width; ++x) {
            if (row[x] > 0.0f) blendPixel(canvas, x, y, colour, row[x]);
        }
    }
}

namespace {

// One running-sum box pass along rows (stride 1) or columns (stride width).
void boxPass(const std::vector<float>& in, std::vector<float>& out, int count, int length, std::size_t step,
             std::size_t lineStep, int radius) {
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int line = 0; line < count; ++line) {
        const std::size_t base = static_cast<std::size_t>(line) * lineStep;
        const auto at = [&](int i) { return in[base + static_cast<std::size_t>(std::clamp(i, 0, length - 1)) * step]; };
        float sum = 0.0f;
        for (int i = -radius; i <= radius; ++i) sum += at(i);
        for (int i = 0; i < length; ++i) {
            out[base + static_cast<std::size_t>(i) * step] = sum * norm;
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

}  // namespace

Mask blurredMask(const Mask& mask, int radius) {
    Mask result = mask;
    if (radius <= 0 || mask.width == 0 || mask.height == 0) return result;
    std::vector<float> scratch(result.coverage.size());
    const auto w = static_cast<std::size_t>(mask.width);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(result.coverage, scratch, mask.height, mask.width, 1, w, radius);
        boxPass(scratch, result.coverage, mask.width, mask.height, w, 1, radius);
    }
    return result;
}

float smoothStep(float edge0, float edge1, float x) {
    if (edge0 == edge1) return x < edge0 ? 0.0f : 1.0f;
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float mixf(float a, float b, float t) { return a + (b - a) * t; }

Rgba mixColour(Rgba a, Rgba b, float t) {
    return Rgba{mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}

float valueNoise(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx);
    const auto iy = static_cast<std::int32_t>(fy);
    const float tx = x - fx;
    const float ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx);
    const float sy = ty * ty * (3.0f - 2.0f * ty);
    const float top = mixf(hashUnit(ix, iy, seed), hashUnit(ix + 1, iy, seed), sx);
    const float bottom = mixf(hashUnit(ix, iy + 1, seed), hashUnit(ix + 1, iy + 1, seed), sx);
    return mixf(top, bottom, sy);
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 101u);
        total += weight;
        // A slight turn between octaves hides the lattice rows.
        const float nx = x * 1.6f - y * 1.2f + 17.3f;
        y = x * 1.2f + y * 1.6f + 5.1f;
        x = nx;
        weight *= 0.5f;
    }
    return total > 0.0f ? sum / total : 0.0f;
}

std::vector<std::uint8_t> canvasBytes(const Canvas& canvas, int channels) {
    if (channels != 3 && channels != 4) throw std::invalid_argument("canvasBytes: 3 or 4 channels");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height) *
                                    static_cast<std::size_t>(channels));
    std::size_t out = 0;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float* p = pixelAt(canvas, x, y);
            // Dither of under one step against banding in the opaque pictures; exact
            // levels (0, 255) stay exact. RGBA frames are left undithered: their flat
            // transparent areas then compress well and fast.
            const float dither = channels == 3 ? hashUnit(x, y, 0x5EEDu) - 0.5f : 0.0f;
            for (int c = 0; c < channels; ++c) {
                const float v = std::clamp(p[c], 0.0f, 1.0f) * 255.0f;
                const float q = std::floor(v + 0.5f + dither * 0.999f);
                bytes[out++] = static_cast<std::uint8_t>(std::clamp(q, 0.0f, 255.0f));
            }
        }
    }
    return bytes;
}

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

std::unique_ptr<SDL_Surface, SurfaceFree> wrapBytes(std::vector<std::uint8_t>& bytes, const Canvas& canvas,
                                                    int channels) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        bytes.data(), canvas.width, canvas.height, channels * 8, canvas.width * channels,
        channels == 4 ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24);
    if (surface == nullptr) throw std::runtime_error(std::string("cannot make a picture surface: ") + SDL_GetError());
    return std::unique_ptr<SDL_Surface, SurfaceFree>(surface);
}

}  // namespace

void saveJpeg(const Canvas& canvas, const std::filesystem::path& path, int quality) {
    std::vector<std::uint8_t> bytes = canvasBytes(canvas, 3);
    const auto surface = wrapBytes(bytes, canvas, 3);
    if (IMG_SaveJPG(surface.get(), path.string().c_str(), quality) != 0) {
        throw std::runtime_error("cannot write " + path.string() + ": " + SDL_GetError());
    }
}

void savePng(const Canvas& canvas, const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes = canvasBytes(canvas, 4);
    const auto surface = wrapBytes(bytes, canvas, 4);
    if (IMG_SavePNG(surface.get(), path.string().c_str()) != 0) {
        throw std::runtime_error("cannot write " + path.string() + ": " + SDL_GetError());
    }
}
