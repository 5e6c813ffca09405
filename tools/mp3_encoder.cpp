// MP3 encoding through libmp3lame: open, write samples, finish or abandon the file.
#include "mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <system_error>

namespace {

// lame takes sample counts as int; larger inputs go in pieces of this many frames.
constexpr std::size_t kFramesPerCall = 65536;

// The worst-case output for n frames, as lame's documentation gives it.
constexpr std::size_t outputBound(std::size_t frames) { return frames + frames / 4 + 7200; }

}  // namespace

Mp3Encoder::~Mp3Encoder() { abandon(); }

void Mp3Encoder::abandon() {
    if (lame_ != nullptr) {
        lame_close(lame_);
        lame_ = nullptr;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
}

bool Mp3Encoder::open(const std::filesystem::path& path, int sampleRate, int kbps) {
    abandon();
    if (sampleRate < 8000 || sampleRate > 48000 || kbps < 8 || kbps > 320) return false;
    lame_ = lame_init();
    if (lame_ == nullptr) return false;
    lame_set_num_channels(lame_, 2);
    lame_set_in_samplerate(lame_, sampleRate);
    lame_set_out_samplerate(lame_, sampleRate);
    lame_set_mode(lame_, JOINT_STEREO);
    lame_set_VBR(lame_, vbr_off);
    lame_set_brate(lame_, kbps);
    lame_set_quality(lame_, 2);  // the high-quality search: slower, and the track is made once
    // The "Info" frame with delay and padding; rewritten with the final counts in finish().
    lame_set_bWriteVbrTag(lame_, 1);
    if (lame_init_params(lame_) < 0) {
        abandon();
        return false;
    }
    path_ = path;
    // Read access too: lame reads the start of the file back when it writes the tag.
    file_ = std::fopen(path.c_str(), "w+b");
    if (file_ == nullptr) {
        abandon();
        return false;
    }
    return true;
}

bool Mp3Encoder::writeBytes(std::size_t count) {
    if (count == 0) return true;
    return std::fwrite(buffer_.data(), 1, count, file_) == count;
}

bool Mp3Encoder::write(std::span<const std::int16_t> interleavedStereo) {
    if (lame_ == nullptr || interleavedStereo.size() % 2 != 0) {
        abandon();
        return false;
    }
    std::size_t framesLeft = interleavedStereo.size() / 2;
    const std::int16_t* cursor = interleavedStereo.data();
    while (framesLeft > 0) {
        const std::size_t frames = std::min(framesLeft, kFramesPerCall);
        buffer_.resize(outputBound(frames));
        // lame's interface is not const-correct; it only reads the samples.
        const int written = lame_encode_buffer_interleaved(
            lame_, const_cast<short*>(reinterpret_cast<const short*>(cursor)), static_cast<int>(frames), buffer_.data(),
            static_cast<int>(buffer_.size()));
        if (written < 0 || !writeBytes(static_cast<std::size_t>(written))) {
            abandon();
            return false;
        }
        cursor += frames * 2;
        framesLeft -= frames;
    }
    return true;
}

bool Mp3Encoder::finish() {
    if (lame_ == nullptr) return false;
    buffer_.resize(outputBound(0));
    const int written = lame_encode_flush(lame_, buffer_.data(), static_cast<int>(buffer_.size()));
    if (written < 0 || !writeBytes(static_cast<std::size_t>(written))) {
        abandon();
        return false;
    }
    lame_mp3_tags_fid(lame_, file_);
    const bool closed = std::ferror(file_) == 0 && std::fclose(file_) == 0;
    file_ = nullptr;
    lame_close(lame_);
    lame_ = nullptr;
    if (!closed) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    return closed;
}

bool encodeMp3(const std::filesystem::path& path, std::span<const std::int16_t> interleavedStereo, int sampleRate,
               int kbps) {
    Mp3Encoder encoder;
    return encoder.open(path, sampleRate, kbps) && encoder.write(interleavedStereo) && encoder.finish();
}
