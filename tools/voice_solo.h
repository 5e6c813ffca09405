// One voice of the track alone: its own notes kept, every other voice's dropped, and the same
// master path as the whole mix (buses, the kick's duck, master gain, limiter, fade).
#pragma once

#include <array>
#include <string_view>

#include "synth.h"

inline constexpr std::array<synth::Voice, 9> kAllVoices = {
    synth::Voice::Kick, synth::Voice::Snare, synth::Voice::Hat,    synth::Voice::Bass,  synth::Voice::Pluck,
    synth::Voice::Pad,  synth::Voice::Lead,  synth::Voice::Impact, synth::Voice::Riser,
};

// Lower case, as in the file names: "kick", "snare", ...
std::string_view voiceName(synth::Voice voice);

// The score with only this voice's notes. The kicks' duck stays, so the music bus dips
// where the full mix dips even when the kick itself is left out.
synth::Score soloScore(const synth::Score& score, synth::Voice voice);
