// The post-processing rule that needs no GL: how far a layer image has scrolled at a time.
#include "render/post_processing.h"

#include "base/cue_times.h"

float layerScroll(float t) {
    if (t > kLayerScrollStart && t < kLayerScrollEnd) return (t - kLayerScrollStart) * 0.016f;
    return 1.0f;
}
