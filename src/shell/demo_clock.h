// The demo time: the music's playback position, held while paused.
#pragma once

#include "timeline/cue_times.h"

struct DemoClock {
    float time = 0.0f;      // demo time of the current frame, seconds
    float delta = 0.0f;     // time minus the time of the previous idle call; 0 while paused
    int paused = 0;         // toggled by the developer key 'p'
    float heldTime = 0.0f;  // the time of the previous idle call; the frozen time while paused
};

extern DemoClock demoClock;

// One idle step from the current playback position. Returns true when the run must
// end (time strictly above 225 s).
bool advanceDemoClock(DemoClock& clock, float musicPosition);
