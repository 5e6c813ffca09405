// The demo's three soft bodies, built from "dat/Objekt3.asc" before main runs.
// Only the blob scene refers to them, so programs that never draw it never build them.
#pragma once

#include "sim/soft_object.h"

struct SoftBodies {
    CSoftObject softBodyA;
    CSoftObject softBodyB;
    CSoftObject softBodyC;
};
extern SoftBodies softBodies;

// The gravity the bodies fall with from start-up until the sideways drive (kSidewaysDrive).
void setStartGravity();
