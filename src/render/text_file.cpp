// Whole-file text reading for the shader sources.
#include "render/text_file.h"

#include <cstdio>
#include <memory>

namespace {

// A shader source is a few kilobytes; anything far beyond is not a source file.
constexpr long kMaxTextFileBytes = 4L * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::optional<std::string> readTextFile(const char* fileName) {
    if (fileName == nullptr) return std::nullopt;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "rb"));
    if (!file) return std::nullopt;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < 1 || size > kMaxTextFileBytes) return std::nullopt;
    std::rewind(file.get());

    std::string raw(static_cast<std::size_t>(size), '\0');
    const std::size_t got = std::fread(raw.data(), 1, raw.size(), file.get());
    raw.resize(got);
    if (raw.empty()) return std::nullopt;  // unreadable (a directory, say)

    // Text mode on the platform the sources were written on turns CR-LF into LF; do the
    // same here so the compiler sees one line ending whatever the file carries.
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text.push_back(raw[i]);
    }
    return text;
}
