// The post-processing rule that needs no GL: how far a layer image has scrolled at a time.
#include "render/post_processing.h"

float layerScroll(float t) {
    if (t > 64.1f && t < 67.5f) return (t - 64.1f) * 0.016f;
    return 1.0f;
}
