// The three soft bodies of the blob section and their start gravity.
#include "sim/soft_bodies.h"

SoftBodies softBodies;

void buildSoftBodies() {
    // In this order: a model that fails ends the run at the first body, as it always has.
    softBodies.softBodyA = CSoftObject(Vector3{1.5f, -4.0f, 0.0f}, 0.85f, 1.0f, 1000000.0f, 480.0f, 0.0f);
    softBodies.softBodyB = CSoftObject(Vector3{4.5f, -4.0f, -2.0f}, 0.9f, 1.0f, 1000000.0f, 480.0f, 100204.0f);
    softBodies.softBodyC = CSoftObject(Vector3{-1.0f, -4.0f, -4.0f}, 0.8f, 1.0f, 1000000.0f, 480.0f, 100204.0f);
}

void setStartGravity() {
    softBodies.softBodyA.gravity = Vector3{0.0f, -2500.0f, 0.0f};
    softBodies.softBodyB.gravity = Vector3{0.0f, -2400.0f, 0.0f};
    softBodies.softBodyC.gravity = Vector3{0.0f, -2400.0f, 0.0f};
}
