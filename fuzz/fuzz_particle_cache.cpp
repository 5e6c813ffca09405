// Fuzzes the particle-map cache parser: an incomplete or malformed cache is refused and
// leaves the targets untouched; an accepted one holds only finite coordinates.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fluid/particle_map.h"

namespace {

std::array<ParticlePosition, kMaxParticles> parsed;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    parsed.fill({-1.0f, -1.0f});
    if (!parseParticleCache(text, parsed)) {
        for (const ParticlePosition& p : parsed) {
            if (p.x != -1.0f || p.y != -1.0f) std::abort();
        }
        return 0;
    }
    for (const ParticlePosition& p : parsed) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) std::abort();
    }
    return 0;
}
