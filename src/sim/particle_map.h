// The particle map: one target point on a black pixel of the end logo for every
// particle, sampled from the logo image once and cached in a text file.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "sim/particles.h"

inline constexpr int kLogoWidth = 1280;
inline constexpr int kLogoHeight = 720;

inline constexpr const char* kParticleMapPath = "dat/p-particlemap.dat";
inline constexpr const char* kLogoImagePath = "dat/logoend.ppm";

// The cache's name in the user's cache folder, for a run from the installed data. It is
// named for the logo's bytes: the cache outlives an upgrade, and a newer version's logo
// is sampled again instead of the particles gathering on the old one.
std::string userParticleCacheName(std::string_view logoBytes);

struct ParticleMap {
    // Target of each particle in the unit square: x = column / 1280, y = 1 - row / 720.
    std::array<ParticlePosition, kMaxParticles> particleTargets{};
    // Red value of every logo pixel, column-major (720 rows per column), row 0 at the top.
    // Used only while the map is built from the image; all zero in the run.
    std::array<int, kLogoWidth * kLogoHeight> logoPixels{};
};
extern ParticleMap particleMap;

inline int logoPixel(int column, int row) {
    return particleMap.logoPixels[static_cast<std::size_t>(column) * kLogoHeight + static_cast<std::size_t>(row)];
}

// Start-up step: the targets from "dat/p-particlemap.dat" (in the user's cache folder for a
// run from the installed data), or, when that cannot be opened or is incomplete, sampled
// from "dat/logoend.ppm" and written to the cache.
// Either way the run goes on from the same state: the targets as the cache holds them,
// logoPixels all zero and the random generator as it was.
void loadParticleMap();
// The same with other files; a null cachePath: no cache at all.
void loadParticleMapFrom(const char* cachePath, const char* imagePath);

// Parses cache text: a header line of at most 254 characters, a count of at least
// 100000, then 100000 pairs of numbers. Writes targets only when all of that is there.
bool parseParticleCache(std::string_view text, std::span<ParticlePosition, kMaxParticles> targets);
// The cache text of the given targets, in the layout parseParticleCache reads.
std::string formatParticleCache(std::span<const ParticlePosition, kMaxParticles> targets);

// Draws one target per particle among the black pixels of logoPixels. Returns the number
// of black pixels; with none, nothing is drawn and the targets are left alone.
int sampleParticleTargets();
// Writes cache text to a file, whole or not at all. False with the system's reason when it
// cannot be written; the file is then as it was.
bool writeParticleCache(const char* path, std::string_view text, std::string* reason = nullptr);
