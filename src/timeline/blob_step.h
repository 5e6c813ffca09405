// One physics tick of the three global soft bodies.
#pragma once

#include "timeline/between_ticks.h"

void stepSoftBodies(float time, float delta);

// The demo's three bodies, A, B, C, for the frame's poses.
SoftBodyRefs demoSoftBodies();
