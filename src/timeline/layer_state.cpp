#include "timeline/layer_state.h"

int lastOverlayBeat = 0;
int lastIntroBeat = 0;
float creditsEndTime = 175.0f;
