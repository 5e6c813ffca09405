// The layer rules of the composition: overlay beats, the credits and end logo fades, the
// intro images and when each layer shows.
#include "timeline/compose.h"

#include "sim/particles.h"
#include "base/beat_grid.h"
#include "base/random.h"
#include "base/cue_times.h"
#include "timeline/layer_state.h"

void rollOverlayBeat(float t) {
    const int beat = beatIndexAt(t);
    if (t > kOverlayBeatsStart && beat > lastOverlayBeat) {
        lastOverlayBeat = beat;
        const float r1 = static_cast<float>(rand15());
        const float r2 = static_cast<float>(rand15());
        const float r3 = static_cast<float>(rand15());
        const float r4 = static_cast<float>(rand15());
        overlayOffset = {-r1 / 32767.0f * 1.8f, -r2 / 32767.0f * 1.8f, -r3 / 32767.0f * 0.1f};
        overlayTurn = -r4 / 32767.0f * 0.5f;
    }
}

void updateCreditsFade(float t, float delta) {
    if (t < creditsEndTime && creditsAlpha < 1.0f) creditsAlpha += 0.03f * delta;
    if (t > creditsEndTime) {
        creditsAlpha -= 0.03f * delta;
        if (creditsAlpha < 0.0f) creditsAlpha = 0.0f;
    }
}

void updateEndLogoFade(float t, float delta) {
    if (t < kEndLogoOut && endLogoAlpha < 1.0f) endLogoAlpha += 0.015f * delta;
    if (t > kEndLogoOut) {
        endLogoAlpha -= 0.04f * delta;
        if (endLogoAlpha < 0.0f) endLogoAlpha = 0.0f;
    }
    particleTint -= 0.059f * delta;
    if (particleTint < 0.0f) particleTint = 0.0f;
}

void updateIntro(float t) {
    if (t < kIntroBeatsEnd) {
        const int beat = beatIndexAt(t);
        if (beat > lastIntroBeat) {
            lastIntroBeat = beat;
            introFrameIndex += 1;
            introPulse = 0.1f * (t / kIntroEnd);
            if (introFrameIndex > 15) introFrameIndex = 15;
        }
    }
    if (introPulse > 0.0f) introPulse = introPulse / 1.02f;
}

void updateLayers(float t, float delta) {
    if (creditsShownAt(t)) updateCreditsFade(t, delta);
    if (endLogoShownAt(t)) updateEndLogoFade(t, delta);
    if (introShownAt(t)) updateIntro(t);
}

bool creditsShownAt(float t) { return t > kCreditsIn; }
bool endLogoShownAt(float t) { return t > kEndLogoIn; }
bool introShownAt(float t) { return t < kIntroEnd; }

float overlayDriftAt(float t) { return -0.003f * t; }
float overlayJumpAt(float t) { return t > kOverlayJump ? 0.42f : 0.0f; }
