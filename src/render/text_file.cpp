// Whole-file text reading for the shader sources.
#include "render/text_file.h"

#include "base/whole_file.h"

namespace {

// A shader source is a few kilobytes; anything far beyond is not a source file.
constexpr std::size_t kMaxTextFileBytes = std::size_t{4} * 1024 * 1024;

}  // namespace

std::optional<std::string> readTextFile(const char* fileName) {
    if (fileName == nullptr) return std::nullopt;
    std::string raw;
    if (readWholeFile(fileName, raw, kMaxTextFileBytes) != FileReadStatus::Ok) return std::nullopt;
    if (raw.empty()) return std::nullopt;  // empty, or unreadable (a directory, say)

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
