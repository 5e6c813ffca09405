// The particles' places on the logo: sampled from the logo picture's black pixels, and kept
// in a bounded, checked cache file so later runs draw the same ones.
#include "sim/particle_map.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/data_root.h"
#include "base/file_writes.h"
#include "base/process_exit.h"
#include "base/random.h"
#include "base/whole_file.h"
#include "base/word_scanner.h"
#include "sim/ppm_reader.h"

ParticleMap particleMap;

namespace {

// A well-formed cache is about 2 MB; anything far larger is not one.
constexpr std::size_t kMaxCacheBytes = std::size_t{64} << 20;
// The header line is read into a 255-character buffer.
constexpr std::size_t kMaxHeaderLength = 254;

constexpr const char* kCacheHeader = "npar<endl>parx pary<endl>parx pary ...";
constexpr const char* kCacheTrailer = "kocham plinkora";

// A whole word as a finite number, read in double and then narrowed to float, as atof
// into a float does.
bool parseCoordinate(std::string_view word, float& value) {
    double v = 0.0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc{} || end != word.data() + word.size() || !std::isfinite(v)) return false;
    value = static_cast<float>(v);
    return true;
}

// A whole word as an integer count, saturating far above the largest useful count.
bool parseCount(std::string_view word, long long& count) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    if (i == word.size()) return false;
    long long v = 0;
    for (; i < word.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(word[i]) - static_cast<unsigned>('0');
        if (digit > 9) return false;
        if (v < 1'000'000'000'000LL) v = v * 10 + digit;
    }
    count = negative ? -v : v;
    return true;
}

}  // namespace

bool parseParticleCache(std::string_view text, std::span<ParticlePosition, kMaxParticles> targets) {
    const std::size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || headerEnd > kMaxHeaderLength) return false;
    WordScanner words(text, headerEnd + 1);

    long long count = 0;
    if (!parseCount(words.next(), count) || count < kMaxParticles) return false;

    // Parse into scratch first so that an incomplete cache leaves the targets untouched.
    std::vector<ParticlePosition> parsed(kMaxParticles);
    for (ParticlePosition& target : parsed) {
        if (!parseCoordinate(words.next(), target.x)) return false;
        if (!parseCoordinate(words.next(), target.y)) return false;
    }
    std::copy(parsed.begin(), parsed.end(), targets.begin());
    return true;
}

std::string formatParticleCache(std::span<const ParticlePosition, kMaxParticles> targets) {
    std::string text;
    text.reserve(static_cast<std::size_t>(kMaxParticles) * 22 + 128);
    text += kCacheHeader;
    text += '\n';
    text += std::to_string(kMaxParticles);
    text += '\n';
    char buffer[64];
    for (const ParticlePosition& target : targets) {
        // General notation, six significant digits, no trailing zeros.
        char* end = std::to_chars(buffer, buffer + sizeof buffer, target.x, std::chars_format::general, 6).ptr;
        *end++ = ' ';
        end = std::to_chars(end, buffer + sizeof buffer, target.y, std::chars_format::general, 6).ptr;
        *end++ = '\n';
        text.append(buffer, end);
    }
    text += kCacheTrailer;
    text += '\n';
    return text;
}

int sampleParticleTargets() {
    // Black pixels, column by column, each as its index into logoPixels.
    std::vector<int> black;
    black.reserve(particleMap.logoPixels.size() / 4);
    for (int index = 0; index < kLogoWidth * kLogoHeight; ++index) {
        if (particleMap.logoPixels[static_cast<std::size_t>(index)] == 0) black.push_back(index);
    }
    const int count = static_cast<int>(black.size());
    if (count == 0) return 0;
    for (ParticlePosition& target : particleMap.particleTargets) {
        const int index = black[static_cast<std::size_t>(randPick(count))];
        const int column = index / kLogoHeight;
        const int row = index % kLogoHeight;
        target.x = static_cast<float>(column) / static_cast<float>(kLogoWidth);
        target.y = 1.0f - static_cast<float>(row) / static_cast<float>(kLogoHeight);
    }
    return count;
}

bool writeParticleCache(const char* path, std::string_view text, std::string* reason) {
    // Beside the cache and renamed over it: a stop or a full disk never leaves a cut one.
    return writeFileWhole(path, partialFileName(path, static_cast<long>(::getpid())), text, reason);
}

void loadParticleMapFrom(const char* cachePath, const char* imagePath) {
    std::string text;
    const FileReadStatus status = cachePath != nullptr ? readWholeFile(cachePath, text, kMaxCacheBytes)
                                                       : FileReadStatus::CannotOpen;
    if (status == FileReadStatus::Ok && parseParticleCache(text, particleMap.particleTargets)) return;
    if (status != FileReadStatus::CannotOpen) {
        std::fprintf(stderr, "%s is incomplete or unreadable; sampling %s again\n", cachePath, imagePath);
    }

    // The run that builds the map must show what every later run shows with its cache:
    // the targets as the cache holds them, no logo pixels (a cache run never reads the
    // image), and the random numbers of the particles not yet used up by the sampling.
    const std::uint32_t randomBefore = randomGeneratorState();
    readPpmRedChannel(imagePath, kLogoHeight, kLogoWidth, particleMap.logoPixels);
    if (sampleParticleTargets() == 0) {
        exitWithMessage(stderr, "%s: the logo has no black pixel (red value 0) to place the particles on\n", imagePath);
    }
    text = formatParticleCache(particleMap.particleTargets);
    if (cachePath == nullptr) {
        std::fprintf(stderr,
                     "velkarn: neither XDG_CACHE_HOME nor HOME is set; the particle map is kept for this run only\n");
    } else if (std::string reason; !writeParticleCache(cachePath, text, &reason)) {
        std::fprintf(stderr, "Cannot write %s: %s; the particle map is kept for this run only\n", cachePath,
                     reason.c_str());
    }
    parseParticleCache(text, particleMap.particleTargets);
    particleMap.logoPixels.fill(0);
    seedRandom(randomBefore);
}

std::string userParticleCacheName(std::string_view logoBytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;  // 64-bit FNV-1a
    for (const char byte : logoBytes) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3u;
    }
    char name[48];
    std::snprintf(name, sizeof name, "p-particlemap-%016llx.dat", static_cast<unsigned long long>(hash));
    return name;
}

void loadParticleMap() {
    const std::string image = dataPath(kLogoImagePath);
    // Beside the data it was sampled from: under the working directory or the program's folder.
    std::string cache = dataPath(kParticleMapPath);
    if (dataRoot().installed) {
        // A run from the installed data keeps its cache in the user's cache folder, never
        // beside the data. A logo that cannot be read is said by the sampling.
        std::string logoBytes;
        readWholeFile(image.c_str(), logoBytes, kMaxPpmBytes);
        cache = userCacheFile(userParticleCacheName(logoBytes));
    }
    loadParticleMapFrom(cache.empty() ? nullptr : cache.c_str(), image.c_str());
}
