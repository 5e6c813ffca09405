// The intro frames: the eye's shape per frame and its painting.
#include "image_intro.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "font.h"
#include "image_logo.h"
#include "image_paint.h"

namespace {

// One key of the animation: how far open, where the iris looks (in iris radii), how
// wide the pupil is, how far the eye has become the logo mark (0 big, 1 mark) and how
// many letters of the title are written.
struct IntroKey {
    float open;
    float lookX, lookY;
    float pupil;
    float toMark;
    int letters;
};

constexpr std::array<IntroKey, kIntroFrameCount> kKeys = {{
    {0.00f, 0.0f, 0.0f, 0.45f, 0.0f, 0},     // 1: closed (never shown, the start state)
    {0.00f, 0.0f, 0.0f, 0.45f, 0.0f, 0},     // 2: closed
    {0.18f, 0.0f, 0.1f, 0.45f, 0.0f, 0},     // 3: a slit
    {0.55f, 0.0f, 0.05f, 0.42f, 0.0f, 0},    // 4
    {1.00f, 0.0f, 0.0f, 0.40f, 0.0f, 0},     // 5: open, straight ahead
    {1.00f, -0.55f, 0.05f, 0.36f, 0.0f, 0},  // 6: looks left
    {1.00f, -0.62f, -0.3f, 0.33f, 0.0f, 0},  // 7: up left
    {1.00f, 0.60f, -0.25f, 0.33f, 0.0f, 0},  // 8: up right
    {0.92f, 0.64f, 0.2f, 0.38f, 0.0f, 0},    // 9: down right
    {0.10f, 0.1f, 0.1f, 0.40f, 0.0f, 0},     // 10: blink
    {1.00f, 0.0f, 0.0f, 0.62f, 0.0f, 0},     // 11: back, pupil wide
    {1.00f, 0.0f, 0.0f, 0.52f, 0.55f, 0},    // 12: shrinking into the mark
    {1.00f, 0.0f, 0.0f, 0.49f, 1.0f, 3},     // 13: "the"
    {1.00f, 0.0f, 0.0f, 0.49f, 1.0f, 7},     // 14: "the vel"
    {1.00f, 0.0f, 0.0f, 0.49f, 1.0f, 12},    // 15: the title, held to the end of the intro
}};

EyeShape bigEye() { return EyeShape{960.0f, 540.0f, 640.0f, 290.0f, 215.0f, 0, 0, 175.0f, 70.0f, 9.0f, 120.0f}; }

EyeShape eyeFor(const IntroKey& key) {
    const EyeShape big = bigEye();
    const EyeShape mark = logoEye();
    const float t = key.toMark * key.toMark * (3.0f - 2.0f * key.toMark);
    EyeShape eye{mixf(big.centreX, mark.centreX, t),
                 mixf(big.centreY, mark.centreY, t),
                 mixf(big.halfWidth, mark.halfWidth, t),
                 mixf(big.upperLid, mark.upperLid, t),
                 mixf(big.lowerLid, mark.lowerLid, t),
                 0,
                 0,
                 mixf(big.irisRadius, mark.irisRadius, t),
                 0,
                 mixf(big.line, mark.line, t),
                 mixf(big.lashLength, mark.lashLength, t)};
    // Closing lowers the upper lid onto the lower one.
    eye.upperLid = mixf(-eye.lowerLid, eye.upperLid, key.open);
    eye.irisX = key.lookX * eye.irisRadius;
    eye.irisY = key.lookY * eye.irisRadius;
    eye.pupilRadius = key.pupil * eye.irisRadius;
    return eye;
}

// The white, the iris and the pupil, clipped to the opening between the lids; all in
// canvas pixels (the eye already scaled).
void paintEyeball(Canvas& canvas, const EyeShape& eye, float scale) {
    const int x0 = std::max(static_cast<int>(eye.centreX - eye.halfWidth) - 2, 0);
    const int x1 = std::min(static_cast<int>(eye.centreX + eye.halfWidth) + 2, canvas.width);
    const float top = std::min(eye.centreY - std::max(eye.upperLid, 0.0f), eye.centreY);
    const int y0 = std::max(static_cast<int>(top) - 2, 0);
    const int y1 = std::min(static_cast<int>(eye.centreY + eye.lowerLid) + 2, canvas.height);
    const float irisX = eye.centreX + eye.irisX;
    const float irisY = eye.centreY + eye.irisY;
    const float edge = std::max(scale, 0.5f);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float fx = static_cast<float>(x) + 0.5f;
            const float fy = static_cast<float>(y) + 0.5f;
            const float dx = fx - eye.centreX;
            if (std::abs(dx) >= eye.halfWidth) continue;
            const float inside = std::min(std::clamp((fy - upperLidY(eye, dx)) / edge, 0.0f, 1.0f),
                                          std::clamp((lowerLidY(eye, dx) - fy) / edge, 0.0f, 1.0f));
            if (inside <= 0.0f) continue;
            // The white is shadowed under the upper lid.
            const float lidShade = std::clamp((fy - upperLidY(eye, dx)) / (40.0f * scale), 0.0f, 1.0f);
            const float white = 0.62f + 0.25f * lidShade;
            blendPixel(canvas, x, y, Rgba{white, white * 0.97f, white * 0.94f, 0.88f}, inside);

            const float ix = fx - irisX;
            const float iy = fy - irisY;
            const float r = std::sqrt(ix * ix + iy * iy);
            const float iris = std::clamp((eye.irisRadius - r) / edge, 0.0f, 1.0f);
            if (iris > 0.0f) {
                // Rays around the pupil, darker at the rim of the iris.
                const float angle = std::atan2(iy, ix);
                const float rays = 0.5f + 0.5f * std::sin(angle * 37.0f + std::sin(angle * 7.0f) * 2.0f);
                const float depth = r / eye.irisRadius;
                const float v = (0.3f + 0.35f * rays * (1.0f - depth * 0.6f)) * (1.0f - 0.45f * depth * depth);
                blendPixel(canvas, x, y, Rgba{v * 0.55f, v * 0.8f, v * 0.95f, 1.0f}, inside * iris);
            }
            const float pupil = std::clamp((eye.pupilRadius - r) / edge, 0.0f, 1.0f);
            if (pupil > 0.0f) blendPixel(canvas, x, y, Rgba{0.01f, 0.01f, 0.02f, 1.0f}, inside * pupil);
            // A window-shaped highlight up and left of the pupil.
            const float hx = ix + eye.pupilRadius * 0.55f;
            const float hy = iy + eye.pupilRadius * 0.6f;
            const float highlight = std::clamp((eye.pupilRadius * 0.28f - std::sqrt(hx * hx + hy * hy)) / edge, 0.0f,
                                               1.0f);
            if (highlight > 0.0f) blendPixel(canvas, x, y, Rgba{1, 1, 1, 0.9f}, inside * highlight);
        }
    }
}

}  // namespace

Canvas makeIntroFrame(int index, int width, int height) {
    const IntroKey& key = kKeys[static_cast<std::size_t>(std::clamp(index, 1, kIntroFrameCount) - 1)];
    // Transparent black around a dark vignette that steadies the drawing over the
    // particles; it thins out once the title stands.
    Canvas canvas = makeCanvas(width, height, Rgba{0, 0, 0, 0});
    const float vignette = key.letters > 0 ? 0.55f : 0.8f;
    const float halfW = 0.5f * static_cast<float>(width);
    const float halfH = 0.5f * static_cast<float>(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - halfW) / halfW;
            const float dy = (static_cast<float>(y) + 0.5f - halfH) / halfH;
            const float r = std::sqrt(dx * dx + dy * dy) * 0.7071f;
            pixelAt(canvas, x, y)[3] = vignette * smoothStep(0.45f, 1.0f, r);
        }
    }

    const EyeShape eye = eyeFor(key);
    const float scale = referenceScale(canvas);
    const float dy = referenceOffsetY(canvas);
    EyeShape scaled = eye;
    scaled.centreX *= scale;
    scaled.centreY = scaled.centreY * scale + dy;
    scaled.halfWidth *= scale;
    scaled.upperLid *= scale;
    scaled.lowerLid *= scale;
    scaled.irisX *= scale;
    scaled.irisY *= scale;
    scaled.irisRadius *= scale;
    scaled.pupilRadius *= scale;
    if (key.open > 0.0f) paintEyeball(canvas, scaled, scale);

    std::vector<Capsule> strokes;
    addEyeStrokes(strokes, eye, false);
    if (key.letters > 0) {
        // The finished mark carries the logo's iris ring as well.
        addEyeStrokes(strokes, eye, true);
        const std::vector<Capsule> title = logoStrokes(key.letters, false);
        strokes.insert(strokes.end(), title.begin(), title.end());
    }
    paintStrokes(canvas, strokes, kInk, kWarmGlow, key.letters > 0 ? 30.0f : 22.0f);
    return canvas;
}
