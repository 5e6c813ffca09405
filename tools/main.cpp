// velkarn_assets RUNDIR [music|images|logo|mesh ...]
// Writes the generated assets into RUNDIR (and RUNDIR/dat); with no kinds, all of them.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "assets.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velkarn_assets RUNDIR [music|images|logo|mesh ...]\n");
        return 2;
    }
    const std::filesystem::path runDir = argv[1];
    const auto wanted = [&](const char* kind) {
        if (argc == 2) return true;
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], kind) == 0) return true;
        }
        return false;
    };
    try {
        std::filesystem::create_directories(runDir / "dat");
        if (wanted("mesh")) generateMesh(runDir);
        if (wanted("logo")) generateLogo(runDir);
        if (wanted("images")) generateImages(runDir);
        if (wanted("music")) generateMusic(runDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkarn_assets: %s\n", e.what());
        return 1;
    }
    return 0;
}
