// State of the layer composition, living for the whole run. Only the two beat memories
// are reset (by the simulation reset, so beat events fire again after a seek).
#pragma once

#include <array>

extern int lastOverlayBeat;                // the last beat that placed the overlay
extern std::array<float, 3> overlayOffset;  // random translation of the overlay
extern float overlayTurn;                  // random turn of the overlay (degrees / 20)
extern float creditsAlpha;
extern float creditsEndTime;  // the credits fade out after this
extern float endLogoAlpha;
extern int introFrameIndex;   // which intro image is shown; starts at 2, never above 15
extern int lastIntroBeat;     // the last beat that advanced the intro
extern float introPulse;      // zoom pulse of the intro image
