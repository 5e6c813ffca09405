// 16-bit PCM WAV files: the header the voice renders are written with, and a reader for the
// files the measurements take (what ffmpeg decodes from the track), checked chunk by chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// Samples in [-1, 1), one vector per channel, all of the same length.
struct Audio {
    std::int32_t sampleRate = 0;
    std::vector<std::vector<float>> channels;

    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
    // The channels' mean, for measures that look at the whole picture of the sound.
    std::vector<float> mono() const;
};

// Larger files are refused rather than read (a 227 s stereo track is 40 MB).
inline constexpr std::uintmax_t kMaxWavBytes = std::uintmax_t{1} << 30;

// The 44 bytes before the samples of a canonical 16-bit PCM file of `frames` sample frames.
// Throws std::invalid_argument when the data would not fit a RIFF file.
std::vector<std::uint8_t> wavHeader16(std::int32_t sampleRate, std::int32_t channels, std::uint64_t frames);

// Parses a whole file held in memory: RIFF/WAVE, a "fmt " chunk of 16-bit integer PCM
// (plain or extensible), and a "data" chunk wholly inside the bytes. Other chunks are
// skipped. Throws std::runtime_error saying what is wrong: truncated, not a WAV file,
// an unsupported sample format.
Audio parseWav(std::span<const std::uint8_t> bytes);

// Reads and parses a file of at most kMaxWavBytes; errors name the file.
Audio readWav(const std::filesystem::path& path);
