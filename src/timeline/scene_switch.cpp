// The switch between the layer composition and the blob section.
#include "timeline/scene_switch.h"

#include "base/cue_times.h"

SceneSwitch sceneSwitch;

void updateSceneSwitch(float t) {
    if (t > kBlobSceneStart) {
        sceneSwitch.blobActive = 1;
        if (t > kWallStart) sceneSwitch.blobActive = 0;
    }
}
