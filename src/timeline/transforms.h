// A short list of modelview transforms, worked out from the time by pure code and
// applied by the GL side in order. Lets tests check the scripted camera without a display.
#pragma once

#include <array>
#include <cstdint>

struct ModelviewTransform {
    enum class Kind : std::uint8_t { Rotate, Translate, Scale };
    Kind kind;
    float a, b, c, d;  // Rotate: angle, axis x, y, z. Translate / Scale: x, y, z.
};

struct TransformList {
    std::array<ModelviewTransform, 8> items{};
    int count = 0;

    void rotate(float angle, float x, float y, float z) { push({ModelviewTransform::Kind::Rotate, angle, x, y, z}); }
    void translate(float x, float y, float z) { push({ModelviewTransform::Kind::Translate, x, y, z, 0.0f}); }
    void scale(float x, float y, float z) { push({ModelviewTransform::Kind::Scale, x, y, z, 0.0f}); }

private:
    void push(const ModelviewTransform& t) {
        if (count < static_cast<int>(items.size())) items[static_cast<std::size_t>(count++)] = t;
    }
};

// Multiplies the list onto the current GL modelview (needs a GL context).
void applyTransforms(const TransformList& list);
