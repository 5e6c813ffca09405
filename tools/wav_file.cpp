// The WAV header writer and the checked WAV reader.
#include "wav_file.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xfffe;
constexpr std::int32_t kMaxChannels = 16;
constexpr std::int32_t kMaxSampleRate = 768000;

void putLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t readLe(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

bool tagIs(std::span<const std::uint8_t> bytes, std::size_t at, const char (&tag)[5]) {
    return std::equal(tag, tag + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::string tagText(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::string text;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = static_cast<char>(bytes[at + i]);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

struct Format {
    std::int32_t channels = 0;
    std::int32_t sampleRate = 0;
};

Format parseFormat(std::span<const std::uint8_t> chunk) {
    if (chunk.size() < 16)
        throw std::runtime_error("fmt chunk of " + std::to_string(chunk.size()) + " bytes is too short");
    std::uint16_t tag = static_cast<std::uint16_t>(readLe(chunk, 0, 2));
    if (tag == kFormatExtensible) {
        // The sub-format GUID begins with the plain format tag.
        if (chunk.size() < 40) throw std::runtime_error("extensible fmt chunk is too short");
        tag = static_cast<std::uint16_t>(readLe(chunk, 24, 2));
    }
    const auto channels = static_cast<std::int32_t>(readLe(chunk, 2, 2));
    const auto rate = readLe(chunk, 4, 4);
    const auto blockAlign = readLe(chunk, 12, 2);
    const auto bits = readLe(chunk, 14, 2);
    if (tag != kFormatPcm || bits != 16) {
        throw std::runtime_error("unsupported sample format (tag " + std::to_string(tag) + ", " + std::to_string(bits) +
                                 " bits): only 16-bit integer PCM is read");
    }
    if (channels < 1 || channels > kMaxChannels) throw std::runtime_error(std::to_string(channels) + " channels");
    if (rate < 1 || rate > kMaxSampleRate) throw std::runtime_error("sample rate " + std::to_string(rate));
    if (blockAlign != static_cast<std::uint32_t>(2 * channels)) {
        throw std::runtime_error("block size " + std::to_string(blockAlign) + " does not match " +
                                 std::to_string(channels) + " channels of 16 bits");
    }
    return {channels, static_cast<std::int32_t>(rate)};
}

}  // namespace

std::vector<float> Audio::mono() const {
    std::vector<float> out(frames(), 0.0f);
    if (channels.empty()) return out;
    const float scale = 1.0f / static_cast<float>(channels.size());
    for (const auto& channel : channels) {
        for (std::size_t i = 0; i < out.size(); ++i) out[i] += channel[i] * scale;
    }
    return out;
}

std::vector<std::uint8_t> wavHeader16(std::int32_t sampleRate, std::int32_t channels, std::uint64_t frames) {
    if (channels < 1 || channels > kMaxChannels || sampleRate < 1 || sampleRate > kMaxSampleRate) {
        throw std::invalid_argument("WAV header: bad channel count or sample rate");
    }
    const std::uint64_t blockAlign = 2 * static_cast<std::uint64_t>(channels);
    if (frames > (std::numeric_limits<std::uint32_t>::max() - 36) / blockAlign) {
        throw std::invalid_argument("WAV header: too many samples for one file");
    }
    const std::uint64_t dataBytes = frames * blockAlign;
    std::vector<std::uint8_t> out;
    out.reserve(44);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    putLe(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(out, 16, 4);
    putLe(out, kFormatPcm, 2);
    putLe(out, static_cast<std::uint64_t>(channels), 2);
    putLe(out, static_cast<std::uint64_t>(sampleRate), 4);
    putLe(out, static_cast<std::uint64_t>(sampleRate) * blockAlign, 4);
    putLe(out, blockAlign, 2);
    putLe(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLe(out, dataBytes, 4);
    return out;
}

Audio parseWav(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12)
        throw std::runtime_error("truncated: " + std::to_string(bytes.size()) + " bytes, no RIFF header");
    if (!tagIs(bytes, 0, "RIFF") || !tagIs(bytes, 8, "WAVE")) throw std::runtime_error("not a RIFF/WAVE file");

    std::optional<Format> format;
    std::optional<std::span<const std::uint8_t>> data;
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const std::size_t size = readLe(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) {
            throw std::runtime_error("truncated: the '" + tagText(bytes, at) + "' chunk holds " + std::to_string(size) +
                                     " bytes but only " + std::to_string(bytes.size() - body) + " follow");
        }
        const auto chunk = bytes.subspan(body, size);
        if (tagIs(bytes, at, "fmt ") && !format) format = parseFormat(chunk);
        if (tagIs(bytes, at, "data") && !data) data = chunk;
        // Chunks are padded to an even size; a missing pad byte at the very end is harmless.
        at = body + size + (size & 1);
        if (at > bytes.size()) break;
    }
    if (!format) throw std::runtime_error(data ? "no fmt chunk" : "truncated: no fmt chunk");
    if (!data) throw std::runtime_error("truncated: no data chunk");
    const auto channels = static_cast<std::size_t>(format->channels);
    const std::size_t blockAlign = 2 * channels;
    if (data->size() % blockAlign != 0) {
        throw std::runtime_error("truncated: the data chunk ends inside a sample frame (" +
                                 std::to_string(data->size()) + " bytes, frames of " + std::to_string(blockAlign) +
                                 ")");
    }

    Audio audio;
    audio.sampleRate = format->sampleRate;
    const std::size_t frames = data->size() / blockAlign;
    audio.channels.assign(channels, std::vector<float>(frames));
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < channels; ++c) {
            const auto raw = static_cast<std::int16_t>(readLe(*data, i * blockAlign + 2 * c, 2));
            audio.channels[c][i] = static_cast<float>(raw) * (1.0f / 32768.0f);
        }
    }
    return audio;
}

Audio readWav(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw std::runtime_error("cannot read " + path.string() + ": " + error.message());
    if (size > kMaxWavBytes) {
        throw std::runtime_error(path.string() + ": " + std::to_string(size) +
                                 " bytes, more than a WAV file read here may hold");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        throw std::runtime_error("cannot read " + path.string());
    }
    try {
        return parseWav(bytes);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}
