// The demo time: the music's playback position, held while paused, and the ticks of the
// frame rules that run 60 times a second of demo time whatever the frame rate.
#pragma once

#include <cstdint>

#include "base/cue_times.h"

inline constexpr int kTicksPerSecond = 60;

struct DemoClock {
    float time = 0.0f;            // demo time of the current frame, seconds
    float delta = 0.0f;           // time minus the time of the previous idle call; 0 while paused
    int paused = 0;               // toggled by the developer key 'p'
    float heldTime = 0.0f;        // the time of the previous idle call; the frozen time while paused
    float sourceTime = 0.0f;      // the clock source's last reading, which runs on while paused
    std::int64_t nextTick = 0;    // the next tick of demo time to run
    std::int64_t sourceTick = 0;  // the last tick of the source's time a frame has seen
    bool frameSteps = false;      // the rules step once per drawn frame instead (--frame-steps)
};

extern DemoClock demoClock;

// One idle step from the current playback position. Returns true when the run must
// end (time strictly above kDemoEndTime).
bool advanceDemoClock(DemoClock& clock, float musicPosition);

// Tick k happens at k / 60 s of demo time.
float tickTime(std::int64_t tick);
// The tick step of tick k: the time since tick k - 1, 0 for the first tick.
float tickDelta(std::int64_t tick);
// The last tick at or before t (-1 before 0 s and for a time that is not a number). A
// time a rounding short of a tick's counts as that tick's.
std::int64_t lastTickAt(float t);
// The first tick at or after t.
std::int64_t firstTickAtOrAfter(float t);

// The ticks one drawn frame runs before it draws: the demo ticks from `first` up to the
// first tick at or after the frame's time, so a frame between two ticks can draw the motion
// between them; and while paused the ticks of the source's time that passed, which run at
// the held time (the particles keep moving). A frame at a tick's time runs up to that tick.
struct TickPlan {
    std::int64_t first = 0;
    std::int64_t count = 0;
    std::int64_t pausedTicks = 0;
};
// Plans the frame at clock.time and marks those ticks as run.
TickPlan planFrameTicks(DemoClock& clock);
// After a jump of the clock that restarts the simulation (a seek): the ticks go on from t
// without catching up.
void restartTicksAt(DemoClock& clock, float t);

// Where a frame at time t lies between the tick before the latest and the latest one, at
// latestTick: 0 at the earlier tick, 1 at the latest (and at a time a rounding short of
// it), clamped to 0..1. A frame that ran no tick ahead of its time draws the latest.
float blendBetweenTicks(float t, std::int64_t latestTick);
