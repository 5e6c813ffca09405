// The demo's three soft bodies, built from "dat/Objekt3.asc" before main runs.
// Only the blob scene refers to them, so programs that never draw it never build them.
#pragma once

#include "sim/soft_object.h"

extern CSoftObject softBodyA;
extern CSoftObject softBodyB;
extern CSoftObject softBodyC;

// The gravity the bodies fall with from start-up until the sideways drive (kSidewaysDrive).
void setStartGravity();
