// The still pictures of dat/: overlay, particle sprite, backgrounds, gradient and the rest.
#include "image_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "font.h"
#include "image_logo.h"
#include "image_paint.h"
#include "image_random.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// The blob room's brightness (a multiply layer's factor): wall top and foot, the floor
// nearest the viewer, and the pool of light where the bodies land.
constexpr float kRoomWallTop = 0.56f;
constexpr float kRoomWallFoot = 0.74f;
constexpr float kRoomFloorNear = 0.62f;
constexpr float kRoomPool = 0.95f;

// Multiplies the canvas by `colour` wherever the mask covers it, by coverage * amount.
void darkenByMask(Canvas& canvas, const Mask& mask, Rgba colour, float amount) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float c = mask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                                          static_cast<std::size_t>(x)] *
                            amount;
            if (c <= 0.0f) continue;
            float* p = pixelAt(canvas, x, y);
            p[0] *= mixf(1.0f, colour.r, c);
            p[1] *= mixf(1.0f, colour.g, c);
            p[2] *= mixf(1.0f, colour.b, c);
        }
    }
}

// A wandering line of `segments` pieces: direction turns a little at every step.
void addScratch(std::vector<Capsule>& strokes, ArtRandom& random, float x, float y, float length, float radius,
                int segments) {
    float angle = randomRange(random, 0.0f, 2.0f * kPi);
    const float step = length / static_cast<float>(segments);
    for (int i = 0; i < segments; ++i) {
        angle += randomRange(random, -0.12f, 0.12f);
        const float nx = x + std::cos(angle) * step;
        const float ny = y + std::sin(angle) * step;
        strokes.push_back(Capsule{x, y, nx, ny, radius * randomRange(random, 0.7f, 1.0f)});
        x = nx;
        y = ny;
    }
}

void addRing(std::vector<Capsule>& strokes, float cx, float cy, float radius, float line, float from, float to,
             int segments) {
    for (int i = 0; i < segments; ++i) {
        const float a = from + (to - from) * static_cast<float>(i) / static_cast<float>(segments);
        const float b = from + (to - from) * static_cast<float>(i + 1) / static_cast<float>(segments);
        strokes.push_back(Capsule{cx + radius * std::cos(a), cy + radius * std::sin(a), cx + radius * std::cos(b),
                                  cy + radius * std::sin(b), line});
    }
}

// Fills the canvas row by row with colour(v), v from 0 at the top to 1 at the bottom,
// leaning a little sideways so the bands never lie perfectly flat.
template <typename ColourOf>
void fillRows(Canvas& canvas, float lean, ColourOf colourOf) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(canvas.width);
            const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(canvas.height);
            const Rgba c = colourOf(std::clamp(v + lean * (u - 0.5f), 0.0f, 1.0f));
            float* p = pixelAt(canvas, x, y);
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
}

// Top colour easing into the middle one down to `split` of the height, then into the
// bottom one.
Canvas makeThreeStopGradient(int width, int height, float lean, Rgba top, Rgba middle, Rgba bottom, float split) {
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 1});
    fillRows(canvas, lean, [&](float t) {
        return t < split ? mixColour(top, middle, smoothStep(0.0f, split, t))
                         : mixColour(middle, bottom, smoothStep(split, 1.0f, t));
    });
    return canvas;
}

}  // namespace

Canvas makeOverlayTexture(int size) {
    Canvas canvas = makeCanvas(size, size, Rgba{1, 1, 1, 1});
    const float unit = 1.0f / static_cast<float>(std::max(size, 1));
    const float px = static_cast<float>(size) / 1024.0f;  // pixel sizes are laid out for 1024

    // Paper, stains with darker rims, fibrous veins and grain, pixel by pixel.
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) * unit;
            const float v = static_cast<float>(y) * unit;
            const float paper = 0.9f + 0.1f * fractalNoise(u * 3.0f, v * 3.0f, 3, 11u);
            const float stainField = fractalNoise(u * 3.5f + 7.0f, v * 3.5f, 5, 23u);
            const float stain = smoothStep(0.56f, 0.64f, stainField);
            const float rim = smoothStep(0.54f, 0.57f, stainField) * (1.0f - smoothStep(0.57f, 0.61f, stainField));
            // Veins: the ridges of a warped noise field.
            const float warp = fractalNoise(u * 2.0f, v * 2.0f, 2, 41u);
            const float ridgeField = fractalNoise(u * 6.0f + warp * 2.5f, v * 6.0f - warp * 2.5f, 4, 37u);
            const float ridge = 1.0f - std::abs(2.0f * ridgeField - 1.0f);
            const float vein = smoothStep(0.955f, 0.99f, ridge) * smoothStep(0.35f, 0.6f, warp);
            const float grain = 0.93f + 0.07f * hashUnit(x, y, 53u);
            const float fleck = hashUnit(x / 2, y / 2, 59u) > 0.9985f ? 0.55f : 1.0f;

            float r = paper * grain * fleck;
            float g = r;
            float b = r;
            // Stains are tea-brown, their rims darker.
            r *= 1.0f - 0.16f * stain - 0.22f * rim;
            g *= 1.0f - 0.21f * stain - 0.28f * rim;
            b *= 1.0f - 0.28f * stain - 0.36f * rim;
            const float veinDark = 1.0f - 0.45f * vein;
            float* p = pixelAt(canvas, x, y);
            p[0] = r * veinDark;
            p[1] = g * veinDark;
            p[2] = b * veinDark * 0.98f;
        }
    }

    ArtRandom random{0xA20503u};
    const float s = static_cast<float>(size);

    // Scratches: long thin wandering lines and short nicks.
    std::vector<Capsule> scratches;
    for (int i = 0; i < 46; ++i) {
        addScratch(scratches, random, randomUnit(random) * s, randomUnit(random) * s,
                   randomRange(random, 0.15f, 0.7f) * s, randomRange(random, 0.5f, 1.4f) * px, 24);
    }
    for (int i = 0; i < 140; ++i) {
        addScratch(scratches, random, randomUnit(random) * s, randomUnit(random) * s,
                   randomRange(random, 0.01f, 0.05f) * s, randomRange(random, 0.5f, 1.0f) * px, 3);
    }
    Mask scratchMask = makeMask(size, size);
    stampCapsules(scratchMask, scratches);
    darkenByMask(canvas, scratchMask, Rgba{0.45f, 0.42f, 0.40f, 1}, 0.8f);

    // Technical marks: a faint ruled grid, rings with ticks, cross hairs, small labels.
    std::vector<Capsule> marks;
    const float grid = s / 8.0f;
    for (int i = 1; i < 8; ++i) {
        const float g = grid * static_cast<float>(i);
        for (float t = 0.0f; t < s; t += 14.0f * px) {
            marks.push_back(Capsule{g, t, g, t + 6.0f * px, 0.45f * px});
            marks.push_back(Capsule{t, g, t + 6.0f * px, g, 0.45f * px});
        }
    }
    Mask gridMask = makeMask(size, size);
    stampCapsules(gridMask, marks);
    darkenByMask(canvas, gridMask, Rgba{0.55f, 0.55f, 0.6f, 1}, 0.5f);

    marks.clear();
    for (int i = 0; i < 6; ++i) {
        const float cx = randomRange(random, 0.1f, 0.9f) * s;
        const float cy = randomRange(random, 0.1f, 0.9f) * s;
        const float radius = randomRange(random, 30.0f, 120.0f) * px;
        const float from = randomRange(random, 0.0f, 2.0f * kPi);
        addRing(marks, cx, cy, radius, 0.9f * px, from, from + randomRange(random, 1.5f, 2.0f * kPi), 64);
        for (int t = 0; t < 24; ++t) {
            const float a = 2.0f * kPi * static_cast<float>(t) / 24.0f;
            const float inner = radius * (t % 6 == 0 ? 0.82f : 0.92f);
            marks.push_back(Capsule{cx + inner * std::cos(a), cy + inner * std::sin(a), cx + radius * std::cos(a),
                                    cy + radius * std::sin(a), 0.7f * px});
        }
    }
    for (int i = 0; i < 14; ++i) {
        const float cx = randomUnit(random) * s;
        const float cy = randomUnit(random) * s;
        const float arm = randomRange(random, 6.0f, 16.0f) * px;
        marks.push_back(Capsule{cx - arm, cy, cx + arm, cy, 0.8f * px});
        marks.push_back(Capsule{cx, cy - arm, cx, cy + arm, 0.8f * px});
    }
    static constexpr std::array<const char*, 10> kLabels = {"0.81",   "d2q9",  "50x50", "225",   "rk4",
                                                            "100000", "1.62s", "bgk",   "p=nrt", "tau 0.6"};
    for (const char* label : kLabels) {
        addTextStrokes(marks, label, randomUnit(random) * s * 0.85f, randomUnit(random) * s * 0.95f, 2.6f * px, 0.36f);
    }
    Mask markMask = makeMask(size, size);
    stampCapsules(markMask, marks);
    darkenByMask(canvas, markMask, Rgba{0.3f, 0.3f, 0.34f, 1}, 0.75f);

    // Blots: a few round dark spots with ragged soft edges.
    for (int i = 0; i < 9; ++i) {
        const float cx = randomUnit(random) * s;
        const float cy = randomUnit(random) * s;
        const float radius = randomRange(random, 3.0f, 14.0f) * px;
        const float darkness = randomRange(random, 0.25f, 0.5f);
        const int reach = static_cast<int>(radius * 2.0f) + 2;
        for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y) {
            for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
                if (x < 0 || y < 0 || x >= size || y >= size) continue;
                const float dx = static_cast<float>(x) - cx;
                const float dy = static_cast<float>(y) - cy;
                const float ragged = radius * (0.8f + 0.5f * valueNoise(std::atan2(dy, dx) * 2.0f + 9.0f,
                                                                        static_cast<float>(i), 71u));
                const float c = 1.0f - smoothStep(ragged * 0.6f, ragged, std::sqrt(dx * dx + dy * dy));
                float* p = pixelAt(canvas, x, y);
                for (int k = 0; k < 3; ++k) p[k] *= 1.0f - darkness * c;
            }
        }
    }
    return canvas;
}

Canvas makeParticleSprite(int size) {
    Canvas canvas = makeCanvas(size, size, Rgba{0, 0, 0, 1});
    const float half = 0.5f * static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - half) / half;
            const float dy = (static_cast<float>(y) + 0.5f - half) / half;
            const float r = std::sqrt(dx * dx + dy * dy);
            // A full disc with a soft rim and a brighter core: the particle light adds up,
            // so a point must carry light across its whole width to show in the halved
            // particle image. Zero at the rim, so no square edge shows.
            const float disc = 1.0f - smoothStep(0.45f, 1.0f, r);
            const float core = 1.0f - smoothStep(0.0f, 0.45f, r);
            float* p = pixelAt(canvas, x, y);
            p[0] = p[1] = p[2] = std::min(0.82f * disc + 0.18f * core, 1.0f);
        }
    }
    return canvas;
}

Canvas makeDarkBackground(int width, int height) {
    Canvas canvas = darkBackdrop(width, height, 101u, 14.0f / 255.0f, 3.0f / 255.0f);
    for (std::size_t i = 0; i < canvas.pixels.size(); ++i) {
        if (i % 4 != 3) canvas.pixels[i] = std::min(canvas.pixels[i], 18.0f / 255.0f);
    }
    return canvas;
}

Canvas makeGradient(int width, int height) {
    return makeThreeStopGradient(width, height, 0.08f, Rgba{0.03f, 0.05f, 0.13f, 1}, Rgba{0.30f, 0.16f, 0.34f, 1},
                                 Rgba{0.96f, 0.62f, 0.34f, 1}, 0.55f);
}

Canvas makeDuskTint(int width, int height) {
    return makeThreeStopGradient(width, height, -0.1f, Rgba{0.62f, 0.52f, 0.95f, 1}, Rgba{0.95f, 0.62f, 0.80f, 1},
                                 Rgba{1.0f, 0.84f, 0.52f, 1}, 0.5f);
}

Canvas makeBandMask(int width, int height) {
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 1});
    static constexpr Rgba kEdge{0.10f, 0.08f, 0.16f, 1};
    static constexpr Rgba kCentre{0.92f, 0.96f, 1.0f, 1};
    fillRows(canvas, 0.04f, [](float t) {
        const float off = std::abs(t - 0.5f);
        return mixColour(kCentre, kEdge, smoothStep(0.06f, 0.3f, off));
    });
    return canvas;
}

namespace {

// Floor lines: rays from the vanishing point and cross lines that close up towards the
// horizon, both fading into the haze there.
void paintFloorLines(Canvas& canvas, float horizon) {
    const int width = canvas.width;
    const int height = canvas.height;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float scale = w / kReferenceWidth;
    std::vector<Capsule> lines;
    for (int i = -16; i <= 16; ++i) {
        lines.push_back(
            Capsule{0.5f * w, horizon, 0.5f * w + static_cast<float>(i) * 0.14f * w, h * 1.05f, 1.1f * scale});
    }
    for (int i = 1; i <= 14; ++i) {
        const float y = horizon + (h - horizon) * std::pow(static_cast<float>(i) / 14.0f, 1.8f);
        lines.push_back(Capsule{0.0f, y, w, y, 1.1f * scale});
    }
    Mask lineMask = makeMask(width, height);
    stampCapsules(lineMask, lines);
    for (int y = 0; y < height; ++y) {
        const float fade = smoothStep(horizon, horizon + 0.18f * h, static_cast<float>(y));
        for (int x = 0; x < width; ++x) {
            float& c = lineMask.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                         static_cast<std::size_t>(x)];
            c *= fade;
        }
    }
    paintMask(canvas, lineMask, Rgba{0.42f, 0.42f, 0.46f, 0.3f});
}

// The blob background's horizon, at 0.56 of the height, with the haze over the picture and
// the light band along the line; the room drawn to match the background shares them.
struct BlobHorizon {
    float line;
    float height;
    float noiseScale;
    BlobHorizon(int width, int pictureHeight)
        : line(0.56f * static_cast<float>(pictureHeight)),
          height(static_cast<float>(pictureHeight)),
          noiseScale(4.0f / std::max(static_cast<float>(width), 1.0f)) {}
    float haze(int x, float fy) const {
        return fractalNoise(static_cast<float>(x) * noiseScale, fy * noiseScale, 3, 211u);
    }
    float band(float fy) const { return std::exp(-std::pow((fy - line) / (0.025f * height), 2.0f)); }
};

// Fills the picture from shade(x, fy, haze), fy the pixel's centre row, then lays the
// horizon's light band over it at the given strength and draws the floor lines: what the
// background and the room share.
template <class Shade>
void paintUnderHorizon(Canvas& canvas, const BlobHorizon& sky, float bandStrength, Shade shade) {
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const float fy = static_cast<float>(y) + 0.5f;
            const Rgba colour = shade(x, fy, sky.haze(x, fy));
            const float band = sky.band(fy);
            float* p = pixelAt(canvas, x, y);
            p[0] = std::min(colour.r + bandStrength * band, 1.0f);
            p[1] = std::min(colour.g + bandStrength * band, 1.0f);
            p[2] = std::min(colour.b + bandStrength * band, 1.0f);
        }
    }
    paintFloorLines(canvas, sky.line);
}

}  // namespace

Canvas makeBlobBackground(int width, int height) {
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 1});
    const float h = static_cast<float>(height);
    const float w = static_cast<float>(width);
    const BlobHorizon sky(width, height);
    const float horizon = sky.line;
    paintUnderHorizon(canvas, sky, 0.05f, [&](int, float fy, float haze) {
        if (fy < horizon) {
            // Pale sky brightening towards the horizon line.
            const float t = fy / horizon;
            const float v = mixf(0.74f, 0.97f, t * t) * (0.95f + 0.08f * haze);
            return Rgba{v * 0.97f, v * 0.98f, v, 1.0f};
        }
        // The floor darkens slowly towards the viewer.
        const float t = (fy - horizon) / (h - horizon);
        const float v = mixf(0.95f, 0.72f, std::sqrt(t)) * (0.96f + 0.06f * haze);
        return Rgba{v, v * 0.97f, v * 0.93f, 1.0f};
    });

    // Soft round shapes floating above the horizon, some lighter, some darker.
    const float scale = w / kReferenceWidth;
    ArtRandom random{0xB10Bu};
    for (int i = 0; i < 16; ++i) {
        const float cx = randomUnit(random) * w;
        const float cy = randomRange(random, 0.08f, 0.5f) * h;
        const float radius = randomRange(random, 40.0f, 190.0f) * scale;
        const bool light = (i % 3) != 0;
        paintCapsule(canvas, Capsule{cx, cy, cx, cy, radius * 0.55f},
                     light ? Rgba{1.0f, 1.0f, 1.0f, randomRange(random, 0.25f, 0.5f)}
                           : Rgba{0.55f, 0.56f, 0.62f, randomRange(random, 0.12f, 0.25f)},
                     radius * 0.9f);
    }
    return canvas;
}

Canvas makeBlobRoom(int width, int height) {
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 1});
    const float h = static_cast<float>(height);
    const float w = static_cast<float>(width);
    // The background's horizon and haze, so the room does not move when the beat shows
    // the background itself.
    const BlobHorizon sky(width, height);
    const float horizon = sky.line;
    paintUnderHorizon(canvas, sky, 0.04f, [&](int x, float fy, float haze) {
        const float fx = static_cast<float>(x) + 0.5f;
        float v;
        float r, g, b;
        if (fy < horizon) {
            // The wall, lighter towards the horizon.
            const float t = fy / horizon;
            v = mixf(kRoomWallTop, kRoomWallFoot, t * t) * (0.96f + 0.06f * haze);
            r = 0.97f;
            g = 0.98f;
            b = 1.0f;
        } else {
            // The floor, darker towards the viewer...
            const float t = (fy - horizon) / (h - horizon);
            v = mixf(kRoomWallFoot, kRoomFloorNear, std::sqrt(t)) * (0.97f + 0.05f * haze);
            r = 1.0f;
            g = 0.97f;
            b = 0.93f;
        }
        // ...but for a pool of light where the bodies land, falling off towards the
        // walls, and darker corners.
        const float px = (fx - 0.5f * w) / (0.62f * w);
        const float py = (fy - 0.84f * h) / (0.3f * h);
        const float pool = std::exp(-1.4f * (px * px + py * py));
        v = mixf(v, kRoomPool, 0.9f * pool);
        const float cx = (fx - 0.5f * w) / (0.5f * w);
        const float cy = (fy - 0.45f * h) / (0.55f * h);
        v *= 1.0f - 0.22f * std::min(cx * cx * cy * cy + 0.35f * cx * cx * cx * cx, 1.0f);
        return Rgba{v * r, v * g, v * b, 1.0f};
    });
    return canvas;
}

Canvas makeCreditsPicture(int width, int height) {
    Canvas canvas = darkBackdrop(width, height, 307u, 0.07f, 0.015f);
    // Only the lower 60% is ever shown (in the upper 60% of the screen), so everything
    // stays below 0.4 of the height.
    std::vector<Capsule> title;
    addCentredTextStrokes(title, "the vel karn", kReferenceWidth * 0.5f, 480.0f, 15.0f, 0.46f);
    paintStrokes(canvas, title, kInk, kWarmGlow, 26.0f);

    struct Credit {
        const char* role;
        const char* name;
    };
    static constexpr std::array<Credit, 5> kCredits = {{{"code", "quorrel"},
                                                        {"music", "vantmoth"},
                                                        {"graphics", "skelda"},
                                                        {"fluid & blobs", "quorrel & oo-mira"},
                                                        {"moral support", "the kettle"}}};
    constexpr float kCell = 7.0f;
    constexpr float kLineStep = 78.0f;
    std::vector<Capsule> roles;
    std::vector<Capsule> names;
    float y = 672.0f;
    for (const Credit& credit : kCredits) {
        const float roleWidth = static_cast<float>(textWidthCells(credit.role)) * kCell;
        addTextStrokes(roles, credit.role, 900.0f - roleWidth, y, kCell, 0.4f);
        addTextStrokes(names, credit.name, 1010.0f, y, kCell, 0.44f);
        y += kLineStep;
    }
    // A thin rule between the title and the credits.
    roles.push_back(Capsule{760.0f, 628.0f, 1160.0f, 628.0f, 1.5f});
    paintStrokes(canvas, roles, kDimInk, Rgba{0, 0, 0, 0}, 0.0f);
    paintStrokes(canvas, names, kInk, Rgba{0.8f, 0.7f, 0.55f, 0.35f}, 10.0f);
    return canvas;
}

Canvas makeGreetingsPicture(int width, int height) {
    Canvas canvas = darkBackdrop(width, height, 409u, 0.08f, 0.015f);
    std::vector<Capsule> heading;
    addCentredTextStrokes(heading, "greetings", kReferenceWidth * 0.5f, 130.0f, 14.0f, 0.46f);
    paintStrokes(canvas, heading, kInk, kWarmGlow, 24.0f);

    static constexpr std::array<const char*, 18> kGroups = {
        "ferrocandle",  "gloam union",   "umbrakettle",     "tessering",    "mothlantern",   "quiet orrery",
        "brisk hollow", "copperwane",    "the nine spools", "lumpfish ltd", "halfmoon kiln", "vorrn",
        "poly & owls",  "drowsy league", "saltreel",        "oblong choir", "fennel 64",     "nightwharf"};
    std::vector<Capsule> names;
    constexpr float kCell = 5.5f;
    constexpr std::array<float, 3> kColumns = {400.0f, 960.0f, 1520.0f};
    for (std::size_t i = 0; i < kGroups.size(); ++i) {
        const float y = 330.0f + static_cast<float>(i / kColumns.size()) * 105.0f;
        addCentredTextStrokes(names, kGroups[i], kColumns[i % kColumns.size()], y, kCell, 0.44f);
    }
    paintStrokes(canvas, names, kInk, Rgba{0.6f, 0.75f, 0.95f, 0.3f}, 10.0f);

    std::vector<Capsule> footer;
    addCentredTextStrokes(footer, "and everyone who keeps the lights on", kReferenceWidth * 0.5f, 990.0f, 4.0f, 0.4f);
    paintStrokes(canvas, footer, kDimInk, Rgba{0, 0, 0, 0}, 0.0f);
    return canvas;
}

Canvas makeEndLogoPicture(int width, int height) {
    Canvas canvas = darkBackdrop(width, height, 503u, 0.035f, 0.0f);
    const std::vector<Capsule> strokes = logoStrokes();
    paintStrokes(canvas, strokes, kInk, kWarmGlow, 56.0f);
    return canvas;
}
