// The layer rules of the composition: overlay beats, the credits and end logo fades, the
// intro images and when each layer shows.
#include "timeline/compose.h"

#include "base/beat_grid.h"
#include "base/cue_times.h"
#include "base/random.h"
#include "sim/particles.h"
#include "timeline/layer_state.h"

void rollOverlayBeat(float t) {
    const int beat = beatIndexAt(t);
    if (t > kOverlayBeatsStart && beat > layers.lastOverlayBeat) {
        layers.lastOverlayBeat = beat;
        const float r1 = static_cast<float>(rand15());
        const float r2 = static_cast<float>(rand15());
        const float r3 = static_cast<float>(rand15());
        const float r4 = static_cast<float>(rand15());
        layers.overlayOffset = {-r1 / 32767.0f * 1.8f, -r2 / 32767.0f * 1.8f, -r3 / 32767.0f * 0.1f};
        layers.overlayTurn = -r4 / 32767.0f * 0.5f;
    }
}

void updateCreditsFade(float t, float delta) {
    if (t < layers.creditsEndTime && layers.creditsAlpha < 1.0f) layers.creditsAlpha += 0.03f * delta;
    if (t > layers.creditsEndTime) {
        layers.creditsAlpha -= 0.03f * delta;
        if (layers.creditsAlpha < 0.0f) layers.creditsAlpha = 0.0f;
    }
}

void updateEndLogoFade(float t, float delta) {
    if (t < kEndLogoOut && layers.endLogoAlpha < 1.0f) layers.endLogoAlpha += 0.015f * delta;
    if (t > kEndLogoOut) {
        layers.endLogoAlpha -= 0.04f * delta;
        if (layers.endLogoAlpha < 0.0f) layers.endLogoAlpha = 0.0f;
    }
    particles.particleTint -= 0.059f * delta;
    if (particles.particleTint < 0.0f) particles.particleTint = 0.0f;
}

void updateIntro(float t) {
    if (t < kIntroBeatsEnd) {
        const int beat = beatIndexAt(t);
        if (beat > layers.lastIntroBeat) {
            layers.lastIntroBeat = beat;
            layers.introFrameIndex += 1;
            layers.introPulse = 0.1f * (t / kIntroEnd);
            if (layers.introFrameIndex > 15) layers.introFrameIndex = 15;
        }
    }
    if (layers.introPulse > 0.0f) layers.introPulse = layers.introPulse / 1.02f;
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
