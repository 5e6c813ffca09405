// Three single-precision floats handled by value: positions, velocities, forces, normals.
#pragma once

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

constexpr Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vector3 operator*(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }

// At `share` (0..1) of the way from a to b and never outside the two, whatever the rounding:
// a + share (b - a) alone can land an ulp past b. Written with plain comparisons, so loops
// over flat arrays of floats become vector code.
constexpr float blendBetween(float a, float b, float share) {
    const float v = a + share * (b - a);
    const float low = a < b ? a : b;
    const float high = a < b ? b : a;
    return v < low ? low : (v > high ? high : v);
}
constexpr Vector3 blendBetween(Vector3 a, Vector3 b, float share) {
    return {blendBetween(a.x, b.x, share), blendBetween(a.y, b.y, share), blendBetween(a.z, b.z, share)};
}

constexpr float dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vector3 cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
