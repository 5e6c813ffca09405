// Orvalin-Velkarn.mp3: the demo's track, composed and synthesised here and encoded to
// MP3 piece by piece.
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "assets.h"
#include "mp3_encoder.h"
#include "synth.h"

namespace {

constexpr int kMusicKbps = 320;
// Samples rendered and encoded at a time (10 s): bounded memory, and few notes cross
// a piece boundary (those are synthesised again from their start).
constexpr std::int64_t kPieceSamples = 10 * synth::kSampleRate;

}  // namespace

void generateMusic(const std::filesystem::path& runDir) {
    const std::filesystem::path path = runDir / "Orvalin-Velkarn.mp3";
    const synth::Score score = synth::composeTrack();
    Mp3Encoder encoder;
    if (!encoder.open(path, synth::kSampleRate, kMusicKbps)) {
        throw std::runtime_error("cannot create " + path.string());
    }
    std::vector<float> left, right;
    std::vector<std::int16_t> pcm;
    const std::int64_t total = synth::trackSamples();
    for (std::int64_t first = 0; first < total; first += kPieceSamples) {
        const auto count = static_cast<std::size_t>(std::min(kPieceSamples, total - first));
        left.assign(count, 0.0f);
        right.assign(count, 0.0f);
        pcm.resize(2 * count);
        synth::renderMix(score, first, left, right);
        synth::toPcm16(left, right, pcm);
        if (!encoder.write(pcm)) throw std::runtime_error("cannot write " + path.string());
    }
    if (!encoder.finish()) throw std::runtime_error("cannot finish " + path.string());
}
