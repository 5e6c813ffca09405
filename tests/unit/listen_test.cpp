// The track's measures (velkarn_listen): the WAV reader against cut and malformed files, the
// power scale and octave bands on sines, the beat's autocorrelation on click trains, the
// turn change on level and timbre steps, and the spectrogram's frequency axis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "listen_measures.h"
#include "listen_onset.h"
#include "listen_spectrogram.h"
#include "listen_spectrum.h"
#include "testing/scratch_files.h"
#include "wav_file.h"

namespace {

constexpr std::int32_t kRate = 44100;

using Bytes = std::vector<std::uint8_t>;

// A stereo 16-bit file of the given frames (left, right interleaved), with an odd-sized chunk
// of other data between "fmt " and "data", as ffmpeg's LIST chunk sits there.
Bytes stereoWav(const std::vector<std::int16_t>& interleaved) {
    Bytes bytes = wavHeader16(kRate, 2, interleaved.size() / 2);
    const Bytes data(bytes.end() - 8, bytes.end());
    bytes.resize(bytes.size() - 8);
    for (const std::uint8_t b : Bytes{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}) bytes.push_back(b);
    bytes.insert(bytes.end(), data.begin(), data.end());
    for (const std::int16_t s : interleaved) {
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) & 0xff));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
    }
    return bytes;
}

std::string parseError(const Bytes& bytes) {
    try {
        parseWav(bytes);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

Audio monoAudio(std::vector<float> samples) {
    Audio audio;
    audio.sampleRate = kRate;
    audio.channels.push_back(std::move(samples));
    return audio;
}

std::vector<float> sine(double hz, double amplitude, double seconds) {
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kRate));
    }
    return out;
}

// Uniform noise in [-amplitude, amplitude), the same for the same seed.
std::vector<float> noise(double amplitude, double seconds, std::uint32_t seed) {
    std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
    for (float& s : out) {
        seed = seed * 1664525u + 1013904223u;
        s = static_cast<float>(amplitude * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0));
    }
    return out;
}

}  // namespace

TEST(ListenWav, ReadsSixteenBitStereoPastOtherChunks) {
    const Audio audio = parseWav(stereoWav({0, -32768, 16384, 32767, -1, 2}));
    EXPECT_EQ(audio.sampleRate, kRate);
    ASSERT_EQ(audio.channels.size(), 2u);
    EXPECT_EQ(audio.channels[0], (std::vector<float>{0.0f, 0.5f, -1.0f / 32768}));
    EXPECT_EQ(audio.channels[1], (std::vector<float>{-1.0f, 32767.0f / 32768, 2.0f / 32768}));
    EXPECT_FLOAT_EQ(audio.mono()[1], (0.5f + 32767.0f / 32768) / 2);
}

// Every prefix of a file is refused as truncated, never read past its end.
TEST(ListenWav, EveryCutIsRefusedAsTruncated) {
    const Bytes whole = stereoWav({1, 2, 3, 4, 5, 6, 7, 8});
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::string error = parseError(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)));
        EXPECT_NE(error.find("truncated"), std::string::npos) << n << " bytes: " << error;
    }
}

TEST(ListenWav, MalformedHeadersAreNamed) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> change;
        const char* error;
    };
    const auto put16 = [](Bytes& b, std::size_t at, std::uint16_t v) {
        b[at] = static_cast<std::uint8_t>(v & 0xff);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    // Offsets in a canonical header: fmt body at 20, data size at 40.
    for (const Case& c : std::vector<Case>{
             {"not RIFF", [](Bytes& b) { b[0] = 'X'; }, "not a RIFF/WAVE file"},
             {"not WAVE", [](Bytes& b) { b[8] = 'A'; }, "not a RIFF/WAVE file"},
             {"float samples", [&](Bytes& b) { put16(b, 20, 3); }, "unsupported sample format"},
             {"8-bit samples", [&](Bytes& b) { put16(b, 34, 8); }, "unsupported sample format"},
             {"no channels", [&](Bytes& b) { put16(b, 22, 0); }, "0 channels"},
             {"absurd rate", [](Bytes& b) { b[27] = 0x7f; }, "sample rate"},
             {"block size", [&](Bytes& b) { put16(b, 32, 3); }, "block size 3"},
             {"short fmt chunk", [](Bytes& b) { b[16] = 12; }, "fmt chunk of 12 bytes"},
             {"half a frame",
              [](Bytes& b) {
                  b[40] = 6;
                  b.resize(50);
              },
              "ends inside a sample frame"},
             {"no fmt chunk", [](Bytes& b) { b[12] = 'x'; }, "no fmt chunk"},
         }) {
        Bytes bytes = wavHeader16(kRate, 2, 2);
        bytes.resize(bytes.size() + 8, 0);
        c.change(bytes);
        EXPECT_NE(parseError(bytes).find(c.error), std::string::npos) << c.what << ": " << parseError(bytes);
    }
}

TEST(ListenWav, FileErrorsNameTheFile) {
    const testfiles::ScratchDir dir;
    const Bytes whole = stereoWav({1, 2, 3, 4});
    testfiles::writeFile(dir.file("cut.wav"), std::string(whole.begin(), whole.end() - 3));
    for (const char* name : {"cut.wav", "missing.wav"}) {
        try {
            readWav(dir.file(name));
            ADD_FAILURE() << name << " was read";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(dir.file(name)), std::string::npos) << e.what();
        }
    }
    testfiles::writeFile(dir.file("whole.wav"), std::string(whole.begin(), whole.end()));
    EXPECT_EQ(readWav(dir.file("whole.wav")).frames(), 2u);
}

// A sine's power is its mean square, and nearly all of it lies in its own octave band.
TEST(ListenSpectrum, SineLandsInItsOctaveBandAtItsMeanSquare) {
    struct Case {
        double hz;
        std::size_t band;  // index into kOctaveCentres
    };
    for (const Case& c : std::vector<Case>{{30, 0}, {50, 1}, {100, 2}, {600, 4}, {1000, 5}, {3000, 7}, {12000, 9}}) {
        const std::vector<float> samples = sine(c.hz, 0.5, 2.0);
        const std::vector<double> spectrum = listen::meanPowerSpectrum(samples, 16384);
        const double binHz = static_cast<double>(kRate) / 16384;
        const std::vector<double> bands = listen::octavePowers(spectrum, binHz, listen::kOctaveCentres);
        double all = 0.0;
        for (const double p : spectrum) all += p;
        EXPECT_NEAR(all, 0.125, 0.125 * 0.02) << c.hz;
        EXPECT_GT(bands[c.band], 0.99 * all) << c.hz;
    }
}

TEST(ListenSpectrum, OctaveBalanceAndLowShareOfTwoSines) {
    std::vector<float> samples = sine(40, 0.5, 3.0);
    const std::vector<float> high = sine(1000, 0.25, 3.0);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] += high[i];
    const listen::OctaveBalance balance = listen::octaveBalance(monoAudio(samples), 0.5, 2.5);
    ASSERT_EQ(balance.relativeDb.size(), listen::kOctaveCentres.size());
    EXPECT_NEAR(balance.relativeDb[0], 0.0, 1e-9);
    EXPECT_NEAR(balance.relativeDb[5], -6.02, 0.1);
    EXPECT_LT(balance.relativeDb[3], -40.0);
    EXPECT_NEAR(balance.shareBelow60Hz, 0.8, 0.01);
}

// A click train's onsets repeat at its period, the autocorrelation's peak; noise has none.
TEST(ListenBeat, ClickTrainPeaksAtItsPeriod) {
    for (const double period : {0.6, 0.81, 1.1}) {
        std::vector<float> samples(static_cast<std::size_t>(20.0 * kRate), 0.0f);
        for (double t = 0.3; t < 20.0; t += period) {
            const auto at = static_cast<std::size_t>(t * kRate);
            for (std::size_t i = 0; i < 200 && at + i < samples.size(); ++i) samples[at + i] = (i % 2 ? 0.5f : -0.5f);
        }
        const listen::Peak peak = listen::beatClarity(monoAudio(samples), 0.0, 20.0, 0.5, 1.2);
        EXPECT_NEAR(peak.lagSeconds, period, 0.006) << period;
        EXPECT_GT(peak.value, 0.8) << period;
    }
    EXPECT_LT(listen::beatClarity(monoAudio(noise(0.5, 20.0, 7)), 0.0, 20.0, 0.5, 1.2).value, 0.2);
}

TEST(ListenBeat, ConstantOrEmptyEnvelopeHasNoPeak) {
    for (const std::vector<double>& signal : {std::vector<double>{}, std::vector<double>(500, 3.0)}) {
        const std::vector<double> r = listen::normalisedAutocorrelation(signal, 120);
        ASSERT_EQ(r.size(), 121u);
        EXPECT_TRUE(std::all_of(r.begin(), r.end(), [](double v) { return v == 0.0; }));
    }
    EXPECT_EQ(listen::beatClarity(monoAudio({}), 0.0, 10.0, 0.5, 1.2).value, 0.0);
}

// The 4 s either side of a turn at 5 s: the same noise twice as loud changes every band by
// 6 dB and the shape not at all; a change of pitch at the same level changes the shape and
// not the level.
TEST(ListenTurns, LevelAndShapeOfAStep) {
    // After the turn, the noise of 4.5 s earlier doubled: the 4 s measured after it are those
    // measured before it, twice as loud.
    std::vector<float> louder = noise(0.1, 10.0, 3);
    const std::size_t shift = 9 * kRate / 2;
    for (std::size_t i = 5 * kRate; i < louder.size(); ++i) louder[i] = 2 * louder[i - shift];
    const listen::TurnChange level = listen::turnChange(monoAudio(louder), 5.0);
    EXPECT_NEAR(level.levelDb, 6.02, 0.2);
    EXPECT_NEAR(level.upperDb, 6.02, 0.2);
    EXPECT_NEAR(level.distanceDb, 6.02, 0.2);
    EXPECT_NEAR(level.shapeDb, 0.0, 0.01);

    std::vector<float> pitch = sine(125, 0.2, 10.0);
    const std::vector<float> high = sine(2000, 0.2, 10.0);
    std::copy(high.begin() + 5 * kRate, high.end(), pitch.begin() + 5 * kRate);
    const listen::TurnChange timbre = listen::turnChange(monoAudio(pitch), 5.0);
    EXPECT_NEAR(timbre.levelDb, 0.0, 0.1);
    EXPECT_GT(timbre.upperDb, 40.0);  // nearly nothing above 300 Hz before
    EXPECT_GT(timbre.shapeDb, 20.0);
    // The hit itself is left out: a click on the turn changes nothing.
    std::vector<float> clicked = louder;
    clicked[5 * kRate] = 1.0f;
    const listen::TurnChange same = listen::turnChange(monoAudio(clicked), 5.0);
    EXPECT_EQ(same.levelDb, level.levelDb);
}

// The brightest row of a sine's spectrogram is where the script writes the sine's frequency.
TEST(ListenSpectrogram, SineSitsAtItsLogFrequencyRow) {
    constexpr int kHeight = 200;
    for (const double hz : {60.0, 440.0, 1000.0, 9000.0}) {
        const Canvas canvas = listen::spectrogram(sine(hz, 0.5, 1.0), kRate, 6, kHeight);
        ASSERT_EQ(canvas.width, 6);
        int brightest = -1;
        float best = -1.0f;
        for (int y = 0; y < kHeight; ++y) {
            const float* pixel = pixelAt(canvas, 3, y);
            if (pixel[0] + pixel[1] + pixel[2] > best) best = pixel[0] + pixel[1] + pixel[2], brightest = y;
        }
        const double expected = kHeight * (1.0 - std::log(hz / 20.0) / std::log(1000.0));
        EXPECT_NEAR(brightest + 0.5, expected, 1.5) << hz;
    }
    EXPECT_EQ(listen::spectrogram(sine(440, 0.5, 1.0), kRate, 0, kHeight).width, 0);
    EXPECT_EQ(listen::spectrogram(sine(440, 0.5, 1.0), kRate, 100000, kHeight).width, 0);
}
