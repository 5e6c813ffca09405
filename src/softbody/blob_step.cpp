// One physics frame of the three global soft bodies.
#include "shell/demo_clock.h"
#include "softbody/blob_scene.h"
#include "softbody/soft_bodies.h"

void stepSoftBodies() { stepBodies(softBodyA, softBodyB, softBodyC, demoClock.time, demoClock.delta, softSimTime); }
