// State of the layer composition that other subsystems read or reset.
#pragma once

extern int lastOverlayBeat;     // the last 0.81 s beat that placed the overlay
extern int lastIntroBeat;       // the last 0.81 s beat that advanced the intro
extern float creditsEndTime;    // the credits start to fade out here (also read by the particles)
