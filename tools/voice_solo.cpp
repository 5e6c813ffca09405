// The solo scores and runDir/voices/NAME.wav, each voice rendered alone as 16-bit stereo.
#include "voice_solo.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets.h"
#include "wav_file.h"

namespace {

void writeVoice(const synth::Score& score, const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    const std::vector<std::uint8_t> header = wavHeader16(synth::kSampleRate, 2,
                                                         static_cast<std::uint64_t>(synth::trackSamples()));
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    std::vector<std::uint8_t> bytes;
    synth::renderTrackPcm(score, [&](std::span<const std::int16_t> pcm) {
        // Little-endian whatever the machine.
        bytes.resize(2 * pcm.size());
        for (std::size_t i = 0; i < pcm.size(); ++i) {
            const auto value = static_cast<std::uint16_t>(pcm[i]);
            bytes[2 * i] = static_cast<std::uint8_t>(value & 0xff);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
        }
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    });
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::string_view voiceName(synth::Voice voice) {
    switch (voice) {
        case synth::Voice::Kick: return "kick";
        case synth::Voice::Snare: return "snare";
        case synth::Voice::Hat: return "hat";
        case synth::Voice::Bass: return "bass";
        case synth::Voice::Pluck: return "pluck";
        case synth::Voice::Pad: return "pad";
        case synth::Voice::Lead: return "lead";
        case synth::Voice::Impact: return "impact";
        case synth::Voice::Riser: return "riser";
    }
    return "unknown";
}

synth::Score soloScore(const synth::Score& score, synth::Voice voice) {
    synth::Score solo = score;
    std::erase_if(solo.notes, [voice](const synth::Note& note) { return note.voice != voice; });
    return solo;
}

void generateVoices(const std::filesystem::path& runDir) {
    const std::filesystem::path dir = runDir / "voices";
    std::filesystem::create_directories(dir);
    const synth::Score score = synth::composeTrack();
    for (const synth::Voice voice : kAllVoices) {
        writeVoice(soloScore(score, voice), dir / (std::string(voiceName(voice)) + ".wav"));
    }
}
