// Reads a whole file into a string, refusing files above a size bound.
#include "base/whole_file.h"

#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

FileReadStatus readWholeFile(const char* path, std::string& text, std::size_t maxBytes) {
    text.clear();
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return FileReadStatus::CannotOpen;
    return readWholeStream(file.get(), text, maxBytes);
}

FileReadStatus readWholeStream(std::FILE* file, std::string& text, std::size_t maxBytes) {
    text.clear();
    // Where the stream can tell its size, the first read asks for one byte more, so a file
    // that keeps its size is read in one go; read in chunks regardless, so pipes and files
    // that change size are still read only up to the limit.
    constexpr std::size_t kChunk = 1 << 20;
    std::size_t chunk = kChunk;
    const long start = std::ftell(file);
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file) - start;
        if (size > 0 && static_cast<unsigned long>(size) > maxBytes) return FileReadStatus::TooLarge;
        if (size > 0) chunk = static_cast<std::size_t>(size) + 1;
        std::fseek(file, start, SEEK_SET);
    }
    for (;; chunk = kChunk) {
        const std::size_t used = text.size();
        if (used > maxBytes) {
            text.clear();
            return FileReadStatus::TooLarge;
        }
        text.resize(used + chunk);
        const std::size_t got = std::fread(text.data() + used, 1, chunk, file);
        text.resize(used + got);
        if (got < chunk) break;
    }
    if (std::ferror(file)) {
        text.clear();
        return FileReadStatus::ReadError;
    }
    if (text.size() > maxBytes) {
        text.clear();
        return FileReadStatus::TooLarge;
    }
    return FileReadStatus::Ok;
}
