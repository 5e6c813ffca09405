// One physics tick of the three global soft bodies.
#pragma once

void stepSoftBodies(float time, float delta);
