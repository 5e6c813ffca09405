// A run that starts late (--start S): the time-driven state that the frames before S
// would have left, made without drawing a frame, so the first frame shows the demo at S.
#pragma once

// Runs the time rules of every frame before startTime as a run at 25 frames a second
// would (one fluid step a frame): the obstacle square and the fluid, the camera's
// particle factors, the blob switch, the intro, the credits and end-logo fades, the
// particle tint and the line budget. Then the clock starts at startTime, so the first
// frame's delta is not the whole start time. Taken as one step, that delta ran 25 S
// fluid steps on one obstacle shape (the fluid blew up from about 176 s on and the
// particles vanished) and threw every fade to its end. The particles stay scattered
// and the random sequence is untouched.
void prerollTimeline(float startTime);
