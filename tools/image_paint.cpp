// Painting helpers shared by the pictures and the intro frames.
#include "image_paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "image_logo.h"

Canvas darkBackdrop(int width, int height, std::uint32_t seed, float centre, float corner) {
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 1});
    const float halfW = 0.5f * static_cast<float>(width);
    const float halfH = 0.5f * static_cast<float>(height);
    const float noiseScale = 5.0f / static_cast<float>(std::max(width, 1));
    // The clouds are broad (a cycle spans a hundred pixels or more), so they are
    // sampled every kStep pixels and interpolated in between.
    constexpr int kStep = 4;
    const int gridW = width / kStep + 2;
    const int gridH = height / kStep + 2;
    std::vector<float> cloud(static_cast<std::size_t>(gridW) * static_cast<std::size_t>(gridH));
    for (int gy = 0; gy < gridH; ++gy) {
        for (int gx = 0; gx < gridW; ++gx) {
            cloud[static_cast<std::size_t>(gy) * static_cast<std::size_t>(gridW) + static_cast<std::size_t>(gx)] =
                fractalNoise(static_cast<float>(gx * kStep) * noiseScale, static_cast<float>(gy * kStep) * noiseScale,
                             3, seed);
        }
    }
    const auto cloudAt = [&](int gx, int gy) {
        return cloud[static_cast<std::size_t>(gy) * static_cast<std::size_t>(gridW) + static_cast<std::size_t>(gx)];
    };
    for (int y = 0; y < height; ++y) {
        const int gy = y / kStep;
        const float ty = static_cast<float>(y % kStep) / kStep;
        for (int x = 0; x < width; ++x) {
            const int gx = x / kStep;
            const float tx = static_cast<float>(x % kStep) / kStep;
            const float c = mixf(mixf(cloudAt(gx, gy), cloudAt(gx + 1, gy), tx),
                                 mixf(cloudAt(gx, gy + 1), cloudAt(gx + 1, gy + 1), tx), ty);
            const float dx = (static_cast<float>(x) + 0.5f - halfW) / halfW;
            const float dy = (static_cast<float>(y) + 0.5f - halfH) / halfH;
            const float r = std::min(std::sqrt(dx * dx + dy * dy) * 0.7071f, 1.0f);
            const float v = mixf(centre, corner, smoothStep(0.0f, 1.0f, r)) * (0.8f + 0.4f * c);
            float* p = pixelAt(canvas, x, y);
            p[0] = v * 0.92f;
            p[1] = v * 0.96f;
            p[2] = v * 1.08f;
        }
    }
    return canvas;
}

float referenceScale(const Canvas& canvas) { return static_cast<float>(canvas.width) / kReferenceWidth; }

float referenceOffsetY(const Canvas& canvas) {
    return 0.5f * (static_cast<float>(canvas.height) - kReferenceHeight * referenceScale(canvas));
}

void paintStrokes(Canvas& canvas, std::span<const Capsule> strokes, Rgba ink, Rgba glow, float glowRadius) {
    const float scale = referenceScale(canvas);
    Mask mask = makeMask(canvas.width, canvas.height);
    stampScaledCapsules(mask, strokes, scale, 0.0f, referenceOffsetY(canvas));
    const int radius = static_cast<int>(std::lround(glowRadius * scale / 1.7f));
    if (glowRadius > 0.0f && radius > 0) {
        Mask halo = blurredMask(mask, radius);
        for (float& c : halo.coverage) c = std::min(c * 1.6f, 1.0f);
        paintMask(canvas, halo, glow);
    }
    paintMask(canvas, mask, ink);
}
