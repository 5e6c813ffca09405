// The state of the layers that the composition rules change from frame to frame.
#include "timeline/layer_state.h"

#include "base/cue_times.h"

int lastOverlayBeat = 0;
std::array<float, 3> overlayOffset{};
float overlayTurn = 0.0f;
float creditsAlpha = 0.0f;
float creditsEndTime = kCreditsOut;
float endLogoAlpha = 0.0f;
int introFrameIndex = 2;
int lastIntroBeat = 0;
float introPulse = 0.0f;
