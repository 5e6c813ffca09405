// The logo's strokes: the eye's lids and ring, the letters and their bounds.
#include "image_logo.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "font.h"

float upperLidY(const EyeShape& eye, float dx) {
    const float u = dx / eye.halfWidth;
    return eye.centreY - eye.upperLid * (1.0f - u * u);
}

float lowerLidY(const EyeShape& eye, float dx) {
    const float u = dx / eye.halfWidth;
    return eye.centreY + eye.lowerLid * (1.0f - u * u);
}

void addEyeStrokes(std::vector<Capsule>& strokes, const EyeShape& eye, bool ring) {
    constexpr int kLidSegments = 40;
    const auto lid = [&](bool upper) {
        for (int i = 0; i < kLidSegments; ++i) {
            const float a = -eye.halfWidth + 2.0f * eye.halfWidth * static_cast<float>(i) / kLidSegments;
            const float b = -eye.halfWidth + 2.0f * eye.halfWidth * static_cast<float>(i + 1) / kLidSegments;
            const float ya = upper ? upperLidY(eye, a) : lowerLidY(eye, a);
            const float yb = upper ? upperLidY(eye, b) : lowerLidY(eye, b);
            strokes.push_back(Capsule{eye.centreX + a, ya, eye.centreX + b, yb, eye.line});
        }
    };
    lid(true);
    lid(false);

    // Lashes stand on the middle of the upper lid, leaning outwards; on a closed eye
    // the lid bows downwards and so do they.
    if (eye.lashLength > 0.0f) {
        constexpr int kLashes = 7;
        const float side = eye.upperLid >= 0.0f ? -1.0f : 1.0f;
        for (int i = 0; i < kLashes; ++i) {
            const float u = -0.6f + 1.2f * static_cast<float>(i) / (kLashes - 1);
            const float dx = u * eye.halfWidth;
            const float x = eye.centreX + dx;
            const float y = upperLidY(eye, dx);
            float nx = u * 0.55f;
            float ny = side;
            const float length = std::sqrt(nx * nx + ny * ny);
            nx /= length;
            ny /= length;
            const float reach = eye.lashLength * (1.0f - 0.35f * std::abs(u));
            strokes.push_back(
                Capsule{x + nx * eye.line, y + ny * eye.line, x + nx * reach, y + ny * reach, eye.line * 0.8f});
        }
    }

    if (ring) {
        constexpr int kRingSegments = 48;
        const float cx = eye.centreX + eye.irisX;
        const float cy = eye.centreY + eye.irisY;
        for (int i = 0; i < kRingSegments; ++i) {
            const float a = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / kRingSegments;
            const float b = 2.0f * std::numbers::pi_v<float> * static_cast<float>(i + 1) / kRingSegments;
            strokes.push_back(Capsule{cx + eye.irisRadius * std::cos(a), cy + eye.irisRadius * std::sin(a),
                                      cx + eye.irisRadius * std::cos(b), cy + eye.irisRadius * std::sin(b), eye.line});
        }
        strokes.push_back(Capsule{cx, cy, cx, cy, eye.pupilRadius});
    }
}

EyeShape logoEye() { return EyeShape{960.0f, 430.0f, 300.0f, 135.0f, 100.0f, 0.0f, 0.0f, 78.0f, 40.0f, 15.0f, 62.0f}; }

std::vector<Capsule> logoStrokes(int characters, bool withMark) {
    std::vector<Capsule> strokes;
    if (withMark) addEyeStrokes(strokes, logoEye(), true);
    const std::string_view title = kLogoTitle;
    // Spaces stay in place while the title is written out, so the letters never move.
    const std::size_t shown = static_cast<std::size_t>(std::clamp(characters, 0, static_cast<int>(title.size())));
    const float left = 0.5f * (kReferenceWidth - static_cast<float>(textWidthCells(title)) * kLogoTextCell);
    addTextStrokes(strokes, title.substr(0, shown), left, kLogoTextTop, kLogoTextCell, 0.58f);
    return strokes;
}

Bounds strokeBounds(const std::vector<Capsule>& strokes) {
    Bounds b{1e30f, 1e30f, -1e30f, -1e30f};
    for (const Capsule& c : strokes) {
        b.left = std::min({b.left, c.x0 - c.radius, c.x1 - c.radius});
        b.right = std::max({b.right, c.x0 + c.radius, c.x1 + c.radius});
        b.top = std::min({b.top, c.y0 - c.radius, c.y1 - c.radius});
        b.bottom = std::max({b.bottom, c.y0 + c.radius, c.y1 + c.radius});
    }
    return b;
}

Mask renderLogoMask(int width, int height) {
    Mask mask = makeMask(width, height);
    const float scale = static_cast<float>(width) / kReferenceWidth;
    // Centred vertically should the picture not be 16:9.
    const float dy = 0.5f * (static_cast<float>(height) - kReferenceHeight * scale);
    const std::vector<Capsule> strokes = logoStrokes();
    stampScaledCapsules(mask, strokes, scale, 0.0f, dy, 0.0f, 1.0f);
    return mask;
}
