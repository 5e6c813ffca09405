// State of the layer composition, living for the whole run. Only the two beat memories
// are reset (by the simulation reset, so beat events fire again after a seek).
#pragma once

#include <array>

#include "base/cue_times.h"

struct LayerState {
    int lastOverlayBeat = 0;               // the last beat that placed the overlay
    std::array<float, 3> overlayOffset{};  // random translation of the overlay
    float overlayTurn = 0.0f;              // random turn of the overlay (degrees / 20)
    float creditsAlpha = 0.0f;
    float creditsEndTime = kCreditsOut;  // the credits fade out after this
    float endLogoAlpha = 0.0f;
    int introFrameIndex = 2;  // which intro image is shown; never above 15
    int lastIntroBeat = 0;    // the last beat that advanced the intro
    float introPulse = 0.0f;  // zoom pulse of the intro image
    // The two switches of the tuning files: the picture starts inverted, without overlay.
    int negativeOn = 1;
    int overlayOn = 0;
};
extern LayerState layers;
