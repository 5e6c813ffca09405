// The per-frame driver: the ticks due, then the drawing of one frame.
#pragma once

// One frame at demoClock.time: the ticks due, then every stage of the drawing in order,
// each timed for the statistics. The picture is left in the window's back buffer.
void runFrame();

// A run that starts late (--start S): every tick before S, as a run from the start has
// run them by then, with the blob section's last snapshot drawn; then the clock waits at
// S, so the first frame shows the demo as a whole run shows it at S.
void prerollTimeline(float startTime);
