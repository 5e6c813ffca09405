// The demo's three soft bodies, built from "dat/Objekt3.asc" while the demo loads, after
// the options are read (a run that only prints its usage reads nothing).
#pragma once

#include "sim/soft_object.h"

struct SoftBodies {
    CSoftObject softBodyA;
    CSoftObject softBodyB;
    CSoftObject softBodyC;
};
extern SoftBodies softBodies;  // bodies without particles until buildSoftBodies

// Reads the model and builds the three bodies; a missing or malformed model ends the run.
void buildSoftBodies();

// The gravity the bodies fall with from start-up until the sideways drive (kSidewaysDrive).
void setStartGravity();
