// velkarn_assets RUNDIR [music|images|logo|mesh|voices|icon ...]
// Writes the generated assets into RUNDIR (and RUNDIR/dat); with no kinds, all of them.
// "voices" (each voice of the track alone, for measuring) and "icon" (the menu icon, for
// installing) are made only when asked for.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "assets.h"

namespace {

constexpr const char* kUsage = "usage: velkarn_assets RUNDIR [music|images|logo|mesh|voices|icon ...]\n";

// Made with no kinds named, and made only when asked for.
constexpr std::string_view kAssetKinds[] = {"music", "images", "logo", "mesh"};
constexpr std::string_view kAskedForKinds[] = {"voices", "icon"};

bool listed(std::span<const std::string_view> list, std::string_view kind) {
    return std::find(list.begin(), list.end(), kind) != list.end();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    const std::filesystem::path runDir = argv[1];
    const std::vector<std::string_view> kinds(argv + 2, argv + argc);
    for (const std::string_view kind : kinds) {
        if (!listed(kAssetKinds, kind) && !listed(kAskedForKinds, kind)) {
            std::fprintf(stderr, "velkarn_assets: unknown kind '%.*s'\n%s", static_cast<int>(kind.size()), kind.data(),
                         kUsage);
            return 2;
        }
    }
    const auto wanted = [&](std::string_view kind) {
        return kinds.empty() ? listed(kAssetKinds, kind) : listed(kinds, kind);
    };
    try {
        std::filesystem::create_directories(runDir);
        if (wanted("mesh") || wanted("logo") || wanted("images")) std::filesystem::create_directories(runDir / "dat");
        if (wanted("mesh")) generateMesh(runDir);
        if (wanted("logo")) generateLogo(runDir);
        if (wanted("images")) generateImages(runDir);
        if (wanted("music")) generateMusic(runDir);
        if (wanted("voices")) generateVoices(runDir);
        if (wanted("icon")) generateIcon(runDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkarn_assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
