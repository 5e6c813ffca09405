// An MP3 file decoded to 44.1 kHz 16-bit stereo PCM, with its exact length and
// sample-exact seeking. Positions are in sample frames (4 bytes each).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct mpg123_handle_struct;

inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;
inline constexpr int kBytesPerFrame = 4;  // 16-bit stereo

class Mp3Decoder {
public:
    Mp3Decoder() = default;
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens and scans the whole file for its exact length. False when the file cannot
    // be opened or holds no decodable audio.
    bool open(const char* fileName);
    bool isOpen() const { return handle_ != nullptr; }

    std::int64_t lengthFrames() const { return lengthFrames_; }
    std::int64_t positionFrames() const { return positionFrames_; }

    // Moves the decoder to a frame, clamped to [0, length].
    void seekFrames(std::int64_t frame);
    // Decodes into the buffer (interleaved stereo); returns the frames written, fewer
    // than asked only at the end of the track.
    std::size_t read(std::span<std::int16_t> interleaved);

private:
    mpg123_handle_struct* handle_ = nullptr;
    std::int64_t lengthFrames_ = 0;
    std::int64_t positionFrames_ = 0;
};
