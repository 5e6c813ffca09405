// The frame rules: everything that changes from one moment of the demo to the next besides
// the picture. They run in ticks, 60 a second of demo time, so every frame rate shows the
// same piece; a frame runs the ticks due at its time and then draws once, reading the state
// they left. The real-time loop, capture, video and the pre-roll of --start share them.
#pragma once

#include <cstdint>

struct TickInput {
    float time = 0.0f;    // demo time of the tick
    float delta = 0.0f;   // time since the previous tick; 0 while paused
    bool paused = false;  // the soft bodies rest; the particles keep moving
};

struct TickEvents {
    bool blobSnapshotDue = false;  // the blob section's snapshot is to be redrawn at this time
};

// One tick, in the order the rules have always run within a frame: the scene switch, the
// tuning records, the fluid, the camera's particle factors, the soft bodies, the particle
// advance, the drift, the particle image's layout, the overlay's beat, then the blob
// section's pulses and camera or the layers' fades and intro. Draws nothing.
TickEvents runTick(const TickInput& tick);

// The inputs of demo tick k: its time on the tick grid and the step since tick k - 1.
TickInput demoTick(std::int64_t k);

// Runs every tick before startTime (those at times below it), as a run from the start
// does, with onSnapshot called at the blob snapshots due in the last `snapshotWindow`
// seconds before it (the one a frame at startTime still shows). Returns the ticks run.
std::int64_t runTicksBefore(float startTime, void (*onSnapshot)(float time), float snapshotWindow);
