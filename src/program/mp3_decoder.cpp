// The MP3 decoder over libmpg123: open, seek and read interleaved 16-bit samples.
#include "program/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace {

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

Mp3Decoder::~Mp3Decoder() {
    if (handle_ != nullptr) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

bool Mp3Decoder::open(const char* fileName) {
    initialiseLibraryOnce();
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) return false;
    // Fixed output format: resampling, if the file differs, is left to the decoder.
    mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_param(handle, MPG123_FORCE_RATE, kOutputRate, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle, fileName) != MPG123_OK || mpg123_scan(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return false;
    }
    const off_t length = mpg123_length(handle);
    if (length <= 0) {
        mpg123_close(handle);
        mpg123_delete(handle);
        return false;
    }
    handle_ = handle;
    lengthFrames_ = static_cast<std::int64_t>(length);
    positionFrames_ = 0;
    mpg123_seek(handle_, 0, SEEK_SET);
    return true;
}

void Mp3Decoder::seekFrames(std::int64_t frame) {
    if (handle_ == nullptr) return;
    frame = std::clamp<std::int64_t>(frame, 0, lengthFrames_);
    const off_t reached = mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET);
    positionFrames_ = reached >= 0 ? static_cast<std::int64_t>(reached) : frame;
}

std::size_t Mp3Decoder::read(std::span<std::int16_t> interleaved) {
    if (handle_ == nullptr) return 0;
    auto* out = reinterpret_cast<unsigned char*>(interleaved.data());
    const std::size_t wanted = interleaved.size_bytes() / kBytesPerFrame * kBytesPerFrame;
    std::size_t total = 0;
    while (total < wanted) {
        std::size_t done = 0;
        const int status = mpg123_read(handle_, out + total, wanted - total, &done);
        total += done;
        if (status == MPG123_NEW_FORMAT) continue;
        if (status != MPG123_OK || done == 0) break;
    }
    const std::size_t frames = total / kBytesPerFrame;
    positionFrames_ += static_cast<std::int64_t>(frames);
    return frames;
}
