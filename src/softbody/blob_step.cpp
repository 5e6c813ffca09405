// One physics tick of the three global soft bodies.
#include "softbody/blob_scene.h"
#include "softbody/soft_bodies.h"

void stepSoftBodies(float time, float delta) { stepBodies(softBodyA, softBodyB, softBodyC, time, delta, softSimTime); }
