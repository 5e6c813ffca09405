// The switch into and out of the blob section.
#include "timeline/frame.h"

#include "base/cue_times.h"

int blobActive = 0;

void updateBlobSwitch(float t) {
    if (t > kBlobSceneStart) {
        blobActive = 1;
        if (t > kWallStart) blobActive = 0;
    }
}
