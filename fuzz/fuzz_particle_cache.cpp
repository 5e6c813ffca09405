// Fuzzes the particle-map cache parser: an incomplete or malformed cache is refused and
// leaves the targets untouched; an accepted one holds only finite coordinates.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/particle_map.h"

namespace {

constexpr ParticlePosition kUntouched{-1.0f, -1.0f};
std::array<ParticlePosition, kMaxParticles> parsed;
bool written = true;  // the targets need the marker value again

bool untouched(const ParticlePosition& p) { return p.x == kUntouched.x && p.y == kUntouched.y; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (written) parsed.fill(kUntouched);
    written = false;
    if (!parseParticleCache(text, parsed)) {
        // The parser copies all targets or none; a sample shows which.
        if (!untouched(parsed.front()) || !untouched(parsed[kMaxParticles / 2]) || !untouched(parsed.back())) {
            std::abort();
        }
        return 0;
    }
    written = true;
    for (const ParticlePosition& p : parsed) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) std::abort();
    }
    return 0;
}
