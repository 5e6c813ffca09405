// The switch into and out of the blob section.
#include "timeline/frame.h"

#include "base/cue_times.h"
#include "timeline/layer_state.h"

void updateBlobSwitch(float t) {
    if (t > kBlobSceneStart) {
        layers.blobActive = 1;
        if (t > kWallStart) layers.blobActive = 0;
    }
}
