// Writes the particle logo's PPM.
#include <fstream>
#include <stdexcept>
#include <string>

#include "assets.h"
#include "image_logo.h"
#include "image_ppm.h"

namespace {
constexpr int kLogoPpmWidth = 1280;
constexpr int kLogoPpmHeight = 720;

bool sameFileText(const std::filesystem::path& path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string old(text.size() + 1, '\0');  // one byte more shows a longer file
    in.read(old.data(), static_cast<std::streamsize>(old.size()));
    old.resize(static_cast<std::size_t>(in.gcount()));
    return old == text;
}
}  // namespace

std::string logoPpmText(const Mask& mask) {
    std::string text = "P3\n# the vel karn: black pixels are the logo the particles gather on\n";
    text += std::to_string(mask.width) + " " + std::to_string(mask.height) + "\n255\n";
    const std::size_t count = mask.coverage.size();
    // "255 255 255" plus a separator is the longest a pixel gets.
    text.reserve(text.size() + count * 12);
    for (std::size_t i = 0; i < count; ++i) {
        text += mask.coverage[i] >= kLogoCoverageThreshold ? "0 0 0" : "255 255 255";
        const bool lineEnd = (i + 1) % kPpmPixelsPerLine == 0 || i + 1 == count;
        text += lineEnd ? '\n' : ' ';
    }
    return text;
}

void generateLogo(const std::filesystem::path& runDir) {
    const std::filesystem::path path = runDir / "dat" / "logoend.ppm";
    const std::string text = logoPpmText(renderLogoMask(kLogoPpmWidth, kLogoPpmHeight));
    // The particle map sampled from another logo would gather the particles on that one.
    if (!sameFileText(path, text)) std::filesystem::remove(runDir / "dat" / "p-particlemap.dat");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}
