// Fuzzes the plain PPM reader at the logo's size and at two small sizes, so that short
// inputs reach the end of the pixel loop as well as its error paths.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ppm_reader.h"

namespace {

constexpr int kLogoRows = 720;
constexpr int kLogoColumns = 1280;

void parseAt(std::string_view text, int rows, int width, std::vector<int>& grid) {
    std::string error;
    const bool ok = parsePpmRedChannel(text, rows, width, grid, error);
    if (ok != error.empty()) std::abort();  // a failure always says why
    if (!ok) return;
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows) * static_cast<std::size_t>(width); ++i) {
        if (grid[i] < 0 || grid[i] > 65535) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::vector<int> logo(static_cast<std::size_t>(kLogoRows) * kLogoColumns);
    static std::vector<int> small(16);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    parseAt(text, kLogoRows, kLogoColumns, logo);
    parseAt(text, 2, 3, small);
    parseAt(text, 1, 1, small);
    // A grid too small for the size is refused, not overrun.
    std::string error;
    if (parsePpmRedChannel(text, 4, 5, std::span<int>(small.data(), 19), error)) std::abort();
    return 0;
}
