// Writes the menu icon: the logo's eye, light on a dark disc, 256 by 256 pixels.
#include <algorithm>

#include "assets.h"
#include "canvas.h"
#include "image_logo.h"
#include "image_paint.h"

void generateIcon(const std::filesystem::path& folder) {
    constexpr int kSize = 256;
    constexpr float kCentre = 0.5f * kSize;
    Canvas canvas = makeCanvas(kSize, kSize, Rgba{0, 0, 0, 0});
    paintCapsule(canvas, Capsule{kCentre, kCentre, kCentre, kCentre, kCentre - 4.0f}, Rgba{0.07f, 0.06f, 0.06f, 1});

    // The eye without the title, its box scaled to 70 % of the icon and centred; the strokes
    // grow a little so they keep their weight at this size.
    const std::vector<Capsule> eye = logoStrokes(0, true);
    const Bounds box = strokeBounds(eye);
    const float scale = 0.7f * kSize / std::max(box.right - box.left, box.bottom - box.top);
    const float dx = kCentre - 0.5f * (box.left + box.right) * scale;
    const float dy = kCentre - 0.5f * (box.top + box.bottom) * scale;
    Mask mask = makeMask(kSize, kSize);
    stampScaledCapsules(mask, eye, scale, dx, dy, 1.0f, 1.0f);
    Mask glow = blurredMask(mask, 6);
    for (float& c : glow.coverage) c = std::min(c * 1.6f, 1.0f);
    paintMask(canvas, glow, Rgba{1.0f, 0.62f, 0.3f, 0.45f});
    paintMask(canvas, mask, kInk);
    savePng(canvas, folder / "velkarn.png");
}
