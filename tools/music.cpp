// Orvalin-Velkarn.mp3: the demo's track, composed and synthesised here and encoded to
// MP3 a segment of the mix at a time.
#include <stdexcept>

#include "assets.h"
#include "mp3_encoder.h"
#include "synth.h"

namespace {

constexpr int kMusicKbps = 320;

}  // namespace

void generateMusic(const std::filesystem::path& runDir) {
    const std::filesystem::path path = runDir / "Orvalin-Velkarn.mp3";
    const synth::Score score = synth::composeTrack();
    Mp3Encoder encoder;
    if (!encoder.open(path, synth::kSampleRate, kMusicKbps)) {
        throw std::runtime_error("cannot create " + path.string());
    }
    if (!synth::renderTrackPcm(score, [&](std::span<const std::int16_t> pcm) { return encoder.write(pcm); })) {
        throw std::runtime_error("cannot write " + path.string());
    }
    if (!encoder.finish()) throw std::runtime_error("cannot finish " + path.string());
}
