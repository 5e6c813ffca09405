// The layer composition outside the blob section: background, credits, particle image,
// end logo, beat-placed overlay, negative and the intro sequence. The time rules are
// pure functions here; compose_gl.cpp draws what they decide.
#pragma once

// The 0.81 s beat that t falls in.
int beatIndexAt(float t);

// After 25 s, a new random placement of the overlay on each new beat (four draws).
void rollOverlayBeat();

// The fades, per second of delta. Called only while their layer is drawn (credits
// after 155 s, end logo after 200 s, which also darkens the particles).
void updateCreditsFade(float t, float delta);
void updateEndLogoFade(float t, float delta);
// Before 24.5 s each new beat shows the next intro image with a zoom pulse, which
// then decays by 1.02 per frame.
void updateIntro(float t);

// Extra translation of the overlay: the whole scale 5 quad drifts left with time and
// jumps 0.42 to the right after 140 s.
float overlayDriftAt(float t);

void composeLayers();
