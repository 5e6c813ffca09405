// The demo's logo: an eye over the words "the vel karn". Laid out once in a 1920 by
// 1080 reference frame and stamped at any size of the same shape, so the end logo
// picture, the particle logo PPM and the last intro frame match pixel for pixel scaled.
#pragma once

#include <vector>

#include "canvas.h"

inline constexpr float kReferenceWidth = 1920.0f;
inline constexpr float kReferenceHeight = 1080.0f;

// An eye of two parabolic lids meeting at the corners (centre ± halfWidth). The upper
// lid rises upperLid above the centre, the lower lid sinks lowerLid below it; an
// upperLid of -lowerLid closes the eye.
struct EyeShape {
    float centreX, centreY;
    float halfWidth, upperLid, lowerLid;
    float irisX, irisY;  // iris centre relative to the eye centre
    float irisRadius, pupilRadius;
    float line;  // stroke radius of the outline
    float lashLength;
};

// Height of the upper (negative, upwards) or lower lid at offset dx from the centre.
float upperLidY(const EyeShape& eye, float dx);
float lowerLidY(const EyeShape& eye, float dx);

// Outline strokes: both lids and the lashes; with ring = true also the iris circle and
// the pupil as a filled disc (the line-art mark of the logo).
void addEyeStrokes(std::vector<Capsule>& strokes, const EyeShape& eye, bool ring);

// The eye of the logo mark and the text line, in the reference frame.
EyeShape logoEye();
inline constexpr const char* kLogoTitle = "the vel karn";
inline constexpr float kLogoTextCell = 20.0f;
inline constexpr float kLogoTextTop = 650.0f;

// All strokes of the logo in the reference frame; `characters` limits the title to its
// first characters (the intro writes it out letter by letter).
std::vector<Capsule> logoStrokes(int characters = 1 << 30, bool withMark = true);

struct Bounds {
    float left, top, right, bottom;
};
// Box around every stroke including its radius, in the reference frame.
Bounds strokeBounds(const std::vector<Capsule>& strokes);

// The logo's coverage at width by height (scaled by width / 1920).
Mask renderLogoMask(int width, int height);
