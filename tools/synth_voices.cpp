// The instruments. Each note is synthesised from its own first sample, whatever window
// is asked for, so its samples never depend on where a render starts.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "synth.h"

namespace synth {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kInvRate = 1.0f / static_cast<float>(kSampleRate);
// Filter cutoffs and slow modulations are recomputed every this many samples.
constexpr int kControlInterval = 32;

float midiToHz(float pitch) { return 440.0f * std::exp2((pitch - 69.0f) / 12.0f); }

// Decay factor per sample for a time constant in seconds.
float decayFactor(float seconds) { return std::exp(-kInvRate / seconds); }

struct Noise {
    std::uint32_t state;
    explicit Noise(std::uint32_t seed) : state(seed == 0 ? 0x9e3779b9u : seed) {}
    // White noise in [-1, 1).
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(static_cast<std::int32_t>(state)) * (1.0f / 2147483648.0f);
    }
};

// Band-limited sawtooth (polyBLEP), phase in [0, 1).
struct Saw {
    float phase = 0.0f;
    float next(float increment) {
        float value = 2.0f * phase - 1.0f;
        if (phase < increment) {
            const float t = phase / increment;
            value -= t + t - t * t - 1.0f;
        } else if (phase > 1.0f - increment) {
            const float t = (phase - 1.0f) / increment;
            value -= t * t + t + t + 1.0f;
        }
        phase += increment;
        if (phase >= 1.0f) phase -= 1.0f;
        return value;
    }
};

struct Sine {
    float phase = 0.0f;
    float next(float increment) {
        const float value = std::sin(2.0f * kPi * phase);
        phase += increment;
        if (phase >= 1.0f) phase -= 1.0f;
        return value;
    }
};

// Topology-preserving state-variable filter: low, band and high pass from one state.
struct Svf {
    float a1 = 0, a2 = 0, a3 = 0, k = 1;
    float ic1 = 0, ic2 = 0;
    float low = 0, band = 0, high = 0;

    void tune(float cutoffHz, float resonance) {
        const float limited = std::clamp(cutoffHz, 20.0f, 0.45f * kSampleRate);
        const float g = std::tan(kPi * limited * kInvRate);
        k = 2.0f - 2.0f * std::clamp(resonance, 0.0f, 0.95f);
        a1 = 1.0f / (1.0f + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void process(float input) {
        const float v3 = input - ic2;
        const float v1 = a1 * ic1 + a2 * v3;
        const float v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0f * v1 - ic1;
        ic2 = 2.0f * v2 - ic2;
        low = v2;
        band = v1;
        high = input - k * v1 - v2;
    }
};

// Linear attack, exponential decay to the sustain level while the gate is held,
// exponential release after it.
struct Envelope {
    std::int32_t attack, gate;
    float decay, sustain, release;
    float level = 0.0f;
    std::int32_t n = 0;

    Envelope(std::int32_t attackSamples, std::int32_t gateSamples, float decaySeconds, float sustainLevel,
             float releaseSeconds)
        : attack(std::max(attackSamples, 1)),
          gate(gateSamples),
          decay(decayFactor(decaySeconds)),
          sustain(sustainLevel),
          release(decayFactor(releaseSeconds)) {}

    float next() {
        if (n < gate) {
            if (n < attack) {
                level = static_cast<float>(n + 1) / static_cast<float>(attack);
            } else {
                level = sustain + (level - sustain) * decay;
            }
        } else {
            level *= release;
        }
        ++n;
        return level;
    }
};

std::int32_t ms(float milliseconds) { return static_cast<std::int32_t>(milliseconds * 0.001f * kSampleRate); }

// Every note ends in a short linear ramp, so a tail cut at the note's end never clicks.
constexpr std::int64_t kEndRamp = 2205;  // 50 ms

// The window of one note: its samples up to `to` land at out[sample - first] (those
// before `first` are synthesised and dropped).
struct Window {
    std::int64_t first, to, rampStart;
    std::span<float> left, right;
    float gainLeft, gainRight;

    Window(const Note& note, std::int64_t firstSample, std::span<float> l, std::span<float> r)
        : first(firstSample), to(std::min<std::int64_t>(note.end(), firstSample + std::ssize(l))), left(l), right(r) {
        rampStart = note.end() - kEndRamp;
        const float angle = (std::clamp(note.pan, -1.0f, 1.0f) + 1.0f) * 0.25f * kPi;
        gainLeft = std::cos(angle) * note.gain;
        gainRight = std::sin(angle) * note.gain;
    }
    float ramp(std::int64_t sample) const {
        return sample < rampStart ? 1.0f : static_cast<float>(rampStart + kEndRamp - sample) / kEndRamp;
    }
    void put(std::int64_t sample, float value) { putStereo(sample, value, value); }
    void putStereo(std::int64_t sample, float l, float r) {
        if (sample >= first) {
            const float g = ramp(sample);
            left[static_cast<std::size_t>(sample - first)] += l * gainLeft * g;
            right[static_cast<std::size_t>(sample - first)] += r * gainRight * g;
        }
    }
};

// A short sine tuned to A (55 Hz) after a fast pitch drop, a knock in the low mids and a
// click, so small speakers hear it too; tone adds drive.
void renderKick(const Note& note, Window& w) {
    Sine body, knock;
    Noise click(note.seed);
    Svf clickFilter;
    clickFilter.tune(3500.0f, 0.2f);
    const float drive = 1.0f + 2.5f * note.tone;
    const float norm = 1.0f / std::tanh(drive);
    float pitchEnv = 1.0f, ampEnv = 1.0f, knockEnv = 1.0f, clickEnv = 1.0f;
    const float pitchDecay = decayFactor(0.022f), ampDecay = decayFactor(0.13f + 0.05f * note.tone),
                knockDecay = decayFactor(0.018f), clickDecay = decayFactor(0.003f);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        const float attack = n < 64 ? static_cast<float>(n) / 64.0f : 1.0f;
        const float hz = 55.0f + 115.0f * pitchEnv;
        clickFilter.process(click.next());
        const float value = std::tanh(drive * body.next(hz * kInvRate) * ampEnv) * norm * attack +
                            0.3f * knock.next(2.9f * hz * kInvRate) * knockEnv * attack +
                            0.35f * clickFilter.band * clickEnv;
        pitchEnv *= pitchDecay;
        ampEnv *= ampDecay;
        knockEnv *= knockDecay;
        clickEnv *= clickDecay;
        w.put(i, value);
    }
}

// Noise band with a short tonal body; low tone gives a dry rim-like hit.
void renderSnare(const Note& note, Window& w) {
    Sine body;
    Noise noise(note.seed);
    Svf band;
    band.tune(1800.0f + 1600.0f * note.tone, 0.3f);
    float bodyEnv = 1.0f, noiseEnv = 1.0f, pitchEnv = 1.0f;
    const float bodyDecay = decayFactor(0.05f), noiseDecay = decayFactor(0.06f + 0.12f * note.tone),
                pitchDecay = decayFactor(0.02f);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        band.process(noise.next());
        const float value = 0.55f * body.next((170.0f + 60.0f * pitchEnv) * kInvRate) * bodyEnv +
                            0.9f * (band.band + 0.4f * band.high) * noiseEnv;
        bodyEnv *= bodyDecay;
        noiseEnv *= noiseDecay;
        pitchEnv *= pitchDecay;
        w.put(i, value);
    }
}

// High-passed noise; tone opens the hat (longer decay).
void renderHat(const Note& note, Window& w) {
    Noise noise(note.seed);
    Svf filter;
    filter.tune(7200.0f, 0.2f);
    float env = 1.0f;
    const float decay = decayFactor(0.028f + 0.22f * note.tone);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        filter.process(noise.next());
        w.put(i, filter.high * env);
        env *= decay;
    }
}

// Two detuned saws and a sub sine through a resonant low pass with a plucked cutoff;
// tone adds drive and brightness.
void renderBass(const Note& note, Window& w) {
    const float hz = midiToHz(note.pitch);
    Saw sawA, sawB;
    sawB.phase = 0.37f;
    Sine sub;
    Svf filter;
    Envelope amp(ms(3), note.gate, 0.25f, 0.8f, 0.05f);
    const float filterDecay = decayFactor(0.11f);
    float filterEnv = 1.0f;
    const float drive = 1.0f + 3.0f * note.tone;
    const float norm = 1.0f / std::tanh(drive);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        if (n % kControlInterval == 0) {
            filter.tune(hz * (1.5f + (5.0f + 10.0f * note.tone) * filterEnv), 0.45f);
        }
        filter.process(sawA.next(hz * kInvRate) + 0.6f * sawB.next(hz * 1.006f * kInvRate));
        const float raw = 0.55f * filter.low + 0.75f * sub.next(hz * kInvRate);
        w.put(i, std::tanh(drive * raw) * norm * amp.next());
        filterEnv *= filterDecay;
    }
}

// Plucked saws for arpeggios and stabs; tone opens the filter.
void renderPluck(const Note& note, Window& w) {
    const float hz = midiToHz(note.pitch);
    Saw sawA, sawB;
    sawB.phase = 0.5f;
    Svf filter;
    Envelope amp(ms(2), note.gate, 0.3f, 0.0f, 0.12f);
    const float filterDecay = decayFactor(0.16f);
    float filterEnv = 1.0f;
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        if (n % kControlInterval == 0) filter.tune(350.0f + (1200.0f + 4200.0f * note.tone) * filterEnv, 0.35f);
        filter.process(0.5f * (sawA.next(hz * 0.996f * kInvRate) + sawB.next(hz * 1.004f * kInvRate)));
        w.put(i, filter.low * amp.next());
        filterEnv *= filterDecay;
    }
}

// Three detuned saws spread across the field, a slow swelling envelope and a low pass
// breathing with an LFO; tone sets the brightness.
void renderPad(const Note& note, Window& w) {
    const float hz = midiToHz(note.pitch);
    Noise phases(note.seed);
    Saw saws[3];
    for (Saw& saw : saws) saw.phase = 0.5f + 0.5f * phases.next();
    const float increments[3] = {hz * 0.9948f * kInvRate, hz * kInvRate, hz * 1.0052f * kInvRate};
    Svf filterLeft, filterRight;
    Envelope amp(ms(1400), note.gate, 1.0f, 1.0f, 1.4f);
    const float lfoRate = 0.11f + 0.02f * static_cast<float>(note.seed % 5);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        if (n % kControlInterval == 0) {
            const float seconds = static_cast<float>(n) * kInvRate;
            const float lfo = std::sin(2.0f * kPi * lfoRate * seconds);
            const float cutoff = (500.0f + 1800.0f * note.tone) * (1.0f + 0.35f * lfo);
            filterLeft.tune(cutoff, 0.25f);
            filterRight.tune(cutoff * 1.08f, 0.25f);
        }
        const float a = saws[0].next(increments[0]);
        const float b = saws[1].next(increments[1]);
        const float c = saws[2].next(increments[2]);
        filterLeft.process(a + 0.6f * b);
        filterRight.process(c + 0.6f * b);
        const float env = amp.next();
        w.putStereo(i, filterLeft.low * env, filterRight.low * env);
    }
}

// Saw and pulse with delayed vibrato; tone opens the filter.
void renderLead(const Note& note, Window& w) {
    const float hz = midiToHz(note.pitch);
    Saw sawA, sawB, sawC;
    sawB.phase = 0.5f;
    sawC.phase = 0.25f;
    Svf filter;
    Envelope amp(ms(8), note.gate, 0.4f, 0.7f, 0.16f);
    float bend = 1.0f;
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        if (n % kControlInterval == 0) {
            const float seconds = static_cast<float>(n) * kInvRate;
            const float depth = std::clamp((seconds - 0.25f) * 2.0f, 0.0f, 1.0f) * 0.007f;
            bend = 1.0f + depth * std::sin(2.0f * kPi * 5.2f * seconds);
            filter.tune(hz * 3.0f + 900.0f + 3200.0f * note.tone, 0.3f);
        }
        const float inc = hz * bend * kInvRate;
        // Two saws half a cycle apart make a square; a third, detuned, thickens it.
        const float pulse = sawA.next(inc) - sawB.next(inc);
        const float value = 0.45f * pulse + 0.45f * sawC.next(inc * 1.003f);
        filter.process(value);
        w.put(i, filter.low * amp.next());
    }
}

// The hit at a section turn: a falling sub boom under a wide noise crash.
void renderImpact(const Note& note, Window& w) {
    Sine boom;
    Noise noiseLeft(note.seed), noiseRight(note.seed * 2654435761u + 1u);
    Svf crashLeft, crashRight;
    crashLeft.tune(3000.0f, 0.1f);
    crashRight.tune(3300.0f, 0.1f);
    float boomEnv = 1.0f, crashEnv = 1.0f, pitchEnv = 1.0f;
    const float boomDecay = decayFactor(0.7f), crashDecay = decayFactor(0.9f + 0.6f * note.tone),
                pitchDecay = decayFactor(0.25f);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        const float attack = n < 96 ? static_cast<float>(n) / 96.0f : 1.0f;
        const float sub = 0.8f * boom.next((30.0f + 40.0f * pitchEnv) * kInvRate) * boomEnv * attack;
        crashLeft.process(noiseLeft.next());
        crashRight.process(noiseRight.next());
        w.putStereo(i, sub + 0.3f * crashLeft.high * crashEnv, sub + 0.3f * crashRight.high * crashEnv);
        boomEnv *= boomDecay;
        crashEnv *= crashDecay;
        pitchEnv *= pitchDecay;
    }
}

// Noise swelling through a rising band pass, cut off at the gate: the build-up that
// lands on a section turn.
void renderRiser(const Note& note, Window& w) {
    Noise noiseLeft(note.seed), noiseRight(note.seed ^ 0x5bd1e995u);
    Svf left, right;
    const float length = static_cast<float>(std::max(note.gate, 1));
    float tail = 1.0f;
    const float tailDecay = decayFactor(0.004f);
    for (std::int64_t i = note.start; i < w.to; ++i) {
        const std::int64_t n = i - note.start;
        const float x = std::min(static_cast<float>(n) / length, 1.0f);
        if (n % kControlInterval == 0) {
            const float cutoff = 250.0f * std::exp2(5.0f * x);
            left.tune(cutoff, 0.6f);
            right.tune(cutoff * 1.1f, 0.6f);
        }
        if (n >= note.gate) tail *= tailDecay;
        const float env = x * x * x * tail;
        left.process(noiseLeft.next());
        right.process(noiseRight.next());
        w.putStereo(i, left.band * env, right.band * env);
    }
}

}  // namespace

Bus busOf(Voice voice) {
    switch (voice) {
        case Voice::Kick:
        case Voice::Snare:
        case Voice::Hat:
        case Voice::Impact:
        case Voice::Riser: return Bus::Drums;
        default: return Bus::Music;
    }
}

float sendOf(Voice voice) {
    switch (voice) {
        case Voice::Lead: return 0.45f;
        case Voice::Pluck: return 0.5f;
        case Voice::Pad: return 0.3f;
        case Voice::Snare: return 0.25f;
        case Voice::Hat: return 0.1f;
        case Voice::Impact: return 0.35f;
        case Voice::Riser: return 0.3f;
        case Voice::Kick:
        case Voice::Bass: return 0.0f;
    }
    return 0.0f;
}

void renderNote(const Note& note, std::int64_t first, std::span<float> left, std::span<float> right) {
    if (left.size() != right.size()) return;
    Window w(note, first, left, right);
    if (w.to <= first || note.start >= first + std::ssize(left)) return;
    switch (note.voice) {
        case Voice::Kick: renderKick(note, w); break;
        case Voice::Snare: renderSnare(note, w); break;
        case Voice::Hat: renderHat(note, w); break;
        case Voice::Bass: renderBass(note, w); break;
        case Voice::Pluck: renderPluck(note, w); break;
        case Voice::Pad: renderPad(note, w); break;
        case Voice::Lead: renderLead(note, w); break;
        case Voice::Impact: renderImpact(note, w); break;
        case Voice::Riser: renderRiser(note, w); break;
    }
}

}  // namespace synth
