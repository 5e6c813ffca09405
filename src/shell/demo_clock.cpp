// The demo clock's idle step from the music's playback position.
#include "shell/demo_clock.h"

DemoClock demoClock;

bool advanceDemoClock(DemoClock& clock, float musicPosition) {
    clock.delta = musicPosition - clock.time;
    clock.time = musicPosition;
    if (clock.paused != 0) {
        clock.delta = 0.0f;
        clock.time = clock.heldTime;
    }
    clock.heldTime = clock.time;
    return clock.time > kDemoEndTime;
}
