// One physics tick of the three global soft bodies.
#include "timeline/blob_step.h"

#include "sim/soft_bodies.h"
#include "timeline/blob_scene.h"

void stepSoftBodies(float time, float delta) {
    stepBodies(softBodies.softBodyA, softBodies.softBodyB, softBodies.softBodyC, time, delta, blobScene.softSimTime);
}

SoftBodyRefs demoSoftBodies() { return {&softBodies.softBodyA, &softBodies.softBodyB, &softBodies.softBodyC}; }
