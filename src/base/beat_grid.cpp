// Which period of the beat grid a moment falls in.
#include "base/beat_grid.h"

#include <climits>
#include <cmath>

int periodIndex(float time, float length) {
    const float index = std::floor(time / length);
    if (!(index >= -2147483648.0f)) return INT_MIN;  // also NaN
    if (index >= 2147483648.0f) return INT_MAX;
    return static_cast<int>(index);
}
