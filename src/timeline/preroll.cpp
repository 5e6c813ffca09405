// The pre-roll of a run that starts late: the frame rules of every earlier frame,
// without drawing.
#include "timeline/preroll.h"

#include <cmath>
#include <cstdint>

#include "fluid/fluid.h"
#include "fluid/particles.h"
#include "shell/demo_clock.h"
#include "timeline/compose.h"
#include "timeline/fluid_stage.h"
#include "timeline/frame.h"

void prerollTimeline(float startTime) {
    if (!(startTime > 0.0f) || !std::isfinite(startTime)) return;
    constexpr int kFramesPerSecond = 25;
    constexpr float kDelta = 1.0f / kFramesPerSecond;
    const auto frames = static_cast<std::int64_t>(std::ceil(static_cast<double>(startTime) * kFramesPerSecond));
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        // In the order of a frame: blob switch, fluid, camera, particle image, layers.
        const float t = static_cast<float>(static_cast<double>(frame) / kFramesPerSecond);
        const float delta = frame == 0 ? 0.0f : kDelta;
        updateBlobSwitch(t);
        shapeObstacles(t);
        const int steps = fluidStepsForFrame(delta);
        for (int i = 0; i < steps; ++i) stepFluid();
        cameraMovesAt(t);
        driftMovesAt(t);
        lowerLineBudget(t, delta, particleDrawCallsAt(t));
        if (blobActive == 0) {
            if (creditsShownAt(t)) updateCreditsFade(t, delta);
            if (endLogoShownAt(t)) updateEndLogoFade(t, delta);
            if (introShownAt(t)) updateIntro(t);
        }
    }
    demoClock.time = startTime;
    demoClock.heldTime = startTime;
    demoClock.delta = 0.0f;
}
