// The demo clock's idle step from the music's playback position, and the tick count.
#include "base/demo_clock.h"

#include <algorithm>
#include <cmath>

DemoClock demoClock;

namespace {
// Far past the demo's end (a day of ticks); keeps a wild time inside the integer range.
constexpr double kMostTicks = 86400.0 * kTicksPerSecond;
// A time this close below a tick's, in ticks, is taken as that tick's: times of a clock
// that adds its frames in other steps land a rounding away from the tick grid.
constexpr double kTickTolerance = 1.0e-3;
// Paused ticks of one frame at most: a frame's wall-clock time beyond a second of them is
// a stall of the machine, not a pause to fill.
constexpr std::int64_t kMostPausedTicks = kTicksPerSecond;
}  // namespace

bool advanceDemoClock(DemoClock& clock, float musicPosition) {
    clock.sourceTime = musicPosition;
    clock.delta = musicPosition - clock.time;
    clock.time = musicPosition;
    if (clock.paused != 0) {
        clock.delta = 0.0f;
        clock.time = clock.heldTime;
    }
    clock.heldTime = clock.time;
    return clock.time > kDemoEndTime;
}

float tickTime(std::int64_t tick) { return static_cast<float>(static_cast<double>(tick) / kTicksPerSecond); }

float tickDelta(std::int64_t tick) { return tick > 0 ? tickTime(tick) - tickTime(tick - 1) : 0.0f; }

std::int64_t lastTickAt(float t) {
    const double ticks = static_cast<double>(t) * kTicksPerSecond + kTickTolerance;
    if (!(ticks >= 0.0)) return -1;  // also NaN
    return static_cast<std::int64_t>(std::floor(std::min(ticks, kMostTicks)));
}

std::int64_t firstTickAtOrAfter(float t) {
    const double ticks = static_cast<double>(t) * kTicksPerSecond - kTickTolerance;
    if (!(ticks >= 0.0)) return 0;
    return static_cast<std::int64_t>(std::ceil(std::min(ticks, kMostTicks)));
}

TickPlan planFrameTicks(DemoClock& clock) {
    TickPlan plan;
    plan.first = clock.nextTick;
    // Ahead of the frame by less than a tick; none for a time that is not a number or a
    // tick or more before 0.
    const bool beforeTicks = !(static_cast<double>(clock.time) * kTicksPerSecond > -1.0);
    const std::int64_t last = beforeTicks ? -1 : firstTickAtOrAfter(clock.time);
    if (last >= clock.nextTick) {
        plan.count = last - clock.nextTick + 1;
        clock.nextTick = last + 1;
    }
    const std::int64_t source = lastTickAt(clock.sourceTime);
    if (clock.paused != 0) plan.pausedTicks = std::clamp<std::int64_t>(source - clock.sourceTick, 0, kMostPausedTicks);
    clock.sourceTick = source;
    return plan;
}

void restartTicksAt(DemoClock& clock, float t) {
    clock.nextTick = firstTickAtOrAfter(t);
    clock.sourceTime = t;
    clock.sourceTick = lastTickAt(t);
}

float blendBetweenTicks(float t, std::int64_t latestTick) {
    const double ticksShort = static_cast<double>(latestTick) - static_cast<double>(t) * kTicksPerSecond;
    if (!(ticksShort > kTickTolerance)) return 1.0f;  // at or past the tick, and NaN
    return static_cast<float>(std::max(0.0, 1.0 - ticksShort));
}
