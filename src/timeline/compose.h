// The layer composition outside the blob section: background, credits, particle image,
// end logo, beat-placed overlay, negative and the intro sequence. The time rules are
// pure functions here; compose_gl.cpp draws what they decide.
#pragma once

// After kOverlayBeatsStart, a new random placement of the overlay on each new beat (four
// draws).
void rollOverlayBeat(float t);

// The fades, per second of delta. Run only while their layer is shown (the end logo's
// fade also darkens the particles).
void updateCreditsFade(float t, float delta);
void updateEndLogoFade(float t, float delta);
// Before kIntroBeatsEnd each new beat shows the next intro image with a zoom pulse, which
// then decays tick by tick.
void updateIntro(float t);
// The layer rules of one tick outside the blob section: the fades and the intro of the
// layers shown at t.
void updateLayers(float t, float delta);

// Which layers the composition draws at t: the credits after kCreditsIn, the end logo
// after kEndLogoIn, the intro sequence before kIntroEnd.
bool creditsShownAt(float t);
bool endLogoShownAt(float t);
bool introShownAt(float t);

// Extra translations of the overlay inside its scale 5: a drift to the left with time,
// and a jump 0.42 to the right after kOverlayJump (0 before).
float overlayDriftAt(float t);
float overlayJumpAt(float t);

// Draws the composition at t from the state the ticks left.
void composeLayers(float t);
