// Rebuilding shader programs and the layer list under a running demo.
#include <cstdio>
#include <optional>
#include <string>

#include "base/data_root.h"
#include "render/reload.h"
#include "render/texture_loading.h"

bool rebuildShaderEntry(std::size_t index) {
    if (index >= kShaderRecipes.size()) return false;
    const ShaderRecipe& entry = kShaderRecipes[index];
    const ShaderBuild build = buildShaderEntry(entry, ShaderBuildKind::Reload);
    if (!build.linked) {
        deleteShaderEntry(build.objects);
        std::fprintf(stderr, "the %s program stays as it was\n", entry.name);
        return false;
    }

    const ShaderEntry old = programs.*entry.shader;
    programs.*entry.shader = build.objects;
    programs.*entry.program = build.objects.program;
    replaceLayerProgram(blendLayers, old.program, build.objects.program);
    // A program still current is deleted by GL once it is no longer in use.
    deleteShaderEntry(old);
    std::printf("velkarn: rebuilt the %s program\n", entry.name);
    std::fflush(stdout);
    return true;
}

bool reloadBlendLayerFile() {
    const std::string path = dataPath(kBlendLayerFile);
    const std::optional<LayerReadResult> read = readLayerFile(path.c_str());
    if (!read) {
        std::fprintf(stderr, "%s cannot be read; the old layers stay\n", path.c_str());
        return false;
    }
    std::string error;
    const TryImageLoader loader = [](const char* fileName, std::string* why) {
        return tryLoadImageTexture(fileName, why);
    };
    if (!readBlendLayersChecked(*read, path.c_str(), loader, blendLayers, error)) {
        std::fprintf(stderr, "%s: %s; the old layers stay\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("velkarn: reloaded %s (%zu layers)\n", path.c_str(), blendLayers.size());
    std::fflush(stdout);
    return true;
}
