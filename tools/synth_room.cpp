// The room on the send bus: an eight-line feedback delay network with damped lines and a
// pre-delay, started from silence at the start of the span it is given.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "synth.h"

namespace synth {
namespace {

constexpr int kLines = 8;
// Mutually prime lengths between 27 and 62 ms, so the echoes never line up.
constexpr std::array<int, kLines> kLineSamples = {1201, 1433, 1601, 1867, 2053, 2269, 2539, 2741};
constexpr int kPreDelay = 1000;             // about 23 ms between the dry note and the room
constexpr float kDecaySeconds = 2.3f;       // to -60 dB at low frequencies
constexpr float kDampingHz = 4500.0f;       // the lines lose their highs faster
constexpr float kInputHighPassHz = 180.0f;  // no low end into the room: it would only blur the bass

float onePole(float hz) { return std::exp(-2.0f * std::numbers::pi_v<float> * hz / kSampleRate); }

}  // namespace

void addRoom(std::span<const float> sendLeft, std::span<const float> sendRight, std::span<float> left,
             std::span<float> right, float gain) {
    const std::size_t count = std::min({sendLeft.size(), sendRight.size(), left.size(), right.size()});
    std::array<std::vector<float>, kLines> lines;
    std::array<std::size_t, kLines> at{};
    std::array<float, kLines> feedback{}, damped{};
    for (int i = 0; i < kLines; ++i) {
        lines[i].assign(static_cast<std::size_t>(kLineSamples[i]), 0.0f);
        feedback[i] = std::pow(10.0f, -3.0f * static_cast<float>(kLineSamples[i]) / (kDecaySeconds * kSampleRate));
    }
    std::vector<float> preDelay(2 * kPreDelay, 0.0f);
    std::size_t preAt = 0;
    const float damp = onePole(kDampingHz), highPass = onePole(kInputHighPassHz);
    float lowLeft = 0.0f, lowRight = 0.0f;
    // Hadamard mixing keeps the network lossless apart from the feedback gains.
    const float norm = 1.0f / std::sqrt(static_cast<float>(kLines));
    for (std::size_t n = 0; n < count; ++n) {
        lowLeft = sendLeft[n] + highPass * (lowLeft - sendLeft[n]);
        lowRight = sendRight[n] + highPass * (lowRight - sendRight[n]);
        const float inLeft = preDelay[2 * preAt], inRight = preDelay[2 * preAt + 1];
        preDelay[2 * preAt] = sendLeft[n] - lowLeft;
        preDelay[2 * preAt + 1] = sendRight[n] - lowRight;
        preAt = preAt + 1 == kPreDelay ? 0 : preAt + 1;

        std::array<float, kLines> out{};
        for (int i = 0; i < kLines; ++i) {
            const float delayed = lines[i][at[i]];
            damped[i] = delayed + damp * (damped[i] - delayed);
            out[i] = damped[i] * feedback[i];
        }
        // Fast Walsh-Hadamard transform of the eight outputs.
        for (int width = 1; width < kLines; width *= 2) {
            for (int i = 0; i < kLines; i += 2 * width) {
                for (int j = i; j < i + width; ++j) {
                    const float a = out[j], b = out[j + width];
                    out[j] = a + b;
                    out[j + width] = a - b;
                }
            }
        }
        float wetLeft = 0.0f, wetRight = 0.0f;
        for (int i = 0; i < kLines; ++i) {
            const float input = (i % 2 == 0 ? inLeft : inRight) * 0.5f;
            lines[i][at[i]] = out[i] * norm + input;
            at[i] = at[i] + 1 == lines[i].size() ? 0 : at[i] + 1;
            if (i % 2 == 0)
                wetLeft += damped[i] * (i % 4 == 0 ? 1.0f : -1.0f);
            else
                wetRight += damped[i] * (i % 4 == 1 ? 1.0f : -1.0f);
        }
        left[n] += gain * wetLeft;
        right[n] += gain * wetRight;
    }
}

}  // namespace synth
