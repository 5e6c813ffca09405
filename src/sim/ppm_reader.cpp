// The plain-text PPM reader of the logo picture: its red channel into the grid, with a
// clear message and exit on a missing, oversized or malformed file.
#include "sim/ppm_reader.h"

#include <cstdio>
#include <cstdlib>

#include "base/process_exit.h"
#include "base/whole_file.h"
#include "base/word_scanner.h"

namespace {

// The largest sample value the format allows.
constexpr int kMaxSampleValue = 65535;

enum class WordResult { Ok, End, NotNumber, TooLarge };

// The next word as a decimal sample value.
inline WordResult readSample(WordScanner& words, int& value) {
    const std::string_view word = words.next();
    if (word.empty()) return WordResult::End;
    int v = 0;
    bool large = false;
    for (const char c : word) {
        const unsigned digit = static_cast<unsigned char>(c) - static_cast<unsigned>('0');
        if (digit > 9) return WordResult::NotNumber;
        if (!large) {
            v = v * 10 + static_cast<int>(digit);
            large = v > kMaxSampleValue;
        }
    }
    if (large) return WordResult::TooLarge;
    value = v;
    return WordResult::Ok;
}

}  // namespace

bool parsePpmRedChannel(std::string_view text, int rows, int width, std::span<int> grid, std::string& error) {
    if (rows <= 0 || width <= 0 || grid.size() < static_cast<std::size_t>(rows) * static_cast<std::size_t>(width)) {
        error = "the pixel grid does not fit the image size";
        return false;
    }
    std::size_t pos = 0;
    for (int line = 0; line < 4; ++line) {
        const std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            error = "the header is shorter than four lines";
            return false;
        }
        pos = end + 1;
    }
    WordScanner words(text, pos);
    const std::size_t pixelCount = static_cast<std::size_t>(rows) * static_cast<std::size_t>(width);
    std::size_t pixel = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c, ++pixel) {
            int rgb[3] = {0, 0, 0};
            for (int channel = 0; channel < 3; ++channel) {
                const WordResult result = readSample(words, rgb[channel]);
                if (result == WordResult::Ok) continue;
                if (result == WordResult::End) {
                    error = "the image ends after " + std::to_string(pixel) + " of " + std::to_string(pixelCount) +
                            " pixels";
                } else {
                    error = "pixel " + std::to_string(pixel) + " (row " + std::to_string(r) + ", column " +
                            std::to_string(c) + ") has a value that is " +
                            (result == WordResult::NotNumber ? "not a decimal number" : "above 65535");
                }
                return false;
            }
            grid[static_cast<std::size_t>(c) * static_cast<std::size_t>(rows) + static_cast<std::size_t>(r)] = rgb[0];
        }
    }
    return true;
}

void readPpmRedChannel(const char* fileName, int rows, int width, std::span<int> grid) {
    std::string text;
    const FileReadStatus status = readWholeFile(fileName, text, kMaxPpmBytes);
    if (status == FileReadStatus::CannotOpen) {
        exitWithMessage(stdout, "Cannot open the file: %s\n", fileName);
    }
    if (status != FileReadStatus::Ok) {
        exitWithMessage(stderr, "%s: %s\n", fileName,
                        status == FileReadStatus::TooLarge ? "the image file is too large" : "read error");
    }
    std::string error;
    if (!parsePpmRedChannel(text, rows, width, grid, error)) {
        exitWithMessage(stderr, "%s: malformed image: %s\n", fileName, error.c_str());
    }
}
