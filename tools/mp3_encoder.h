// MP3 encoding through libmp3lame: constant bit rate, stereo, with the LAME info tag in
// the first frame so that gapless decoders know the encoder delay and padding and give
// back exactly the samples that went in.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <vector>

struct lame_global_struct;

// Encodes interleaved 16-bit stereo PCM at sampleRate into an MP3 file; false on failure.
bool encodeMp3(const std::filesystem::path& path, std::span<const std::int16_t> interleavedStereo, int sampleRate,
               int kbps);

// The streaming form behind encodeMp3, for tracks made piece by piece:
// open, write any number of times, finish. Any failure leaves the encoder failed and
// finish() false; a file that was not finished is removed.
class Mp3Encoder {
public:
    Mp3Encoder() = default;
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    bool open(const std::filesystem::path& path, int sampleRate, int kbps);
    // Interleaved stereo: an even number of values.
    bool write(std::span<const std::int16_t> interleavedStereo);
    // Flushes the encoder, writes the info tag and closes the file.
    bool finish();

private:
    void abandon();
    bool writeBytes(std::size_t count);

    lame_global_struct* lame_ = nullptr;
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::vector<unsigned char> buffer_;
};
