// The shader table: seven GL programs, each built from its source files at start-up and
// again by a reload, and the layer effect each of the first five serves.
#pragma once

#include <array>
#include <cstddef>

struct ShaderEntry {
    unsigned int program = 0;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;
    unsigned int geometryShader = 0;  // geometry entries only
};

// The GL names of the seven programs, all 0 until they are built. Each program name is
// kept twice: in its entry, and under the name the rest of the demo uses it by.
struct ShaderTable {
    ShaderEntry negativeShader;
    ShaderEntry multiplyShader;
    ShaderEntry overlayShader;
    ShaderEntry blurShader;
    ShaderEntry replaceShader;
    ShaderEntry lineGeomShader;
    ShaderEntry blobGeomShader;

    unsigned int negativeProgram = 0;
    unsigned int multiplyProgram = 0;
    unsigned int overlayProgram = 0;
    unsigned int blurProgram = 0;
    unsigned int replaceProgram = 0;
    unsigned int lineGeomProgram = 0;
    unsigned int blobGeomProgram = 0;
};
extern ShaderTable programs;

// The effects a layer of the layer list can combine its image with the picture by.
enum class EffectKind { None, Overlay, Blur, Multiply, Negative, Replace };

// How one program of the table is built: what it is called in messages, where its names
// go, the files it is built from and the layer effect it serves.
struct ShaderRecipe {
    const char* name;
    ShaderEntry ShaderTable::*shader;
    unsigned int ShaderTable::*program;
    const char* vertexFile;
    const char* fragmentFile;
    const char* geometryFile;  // nullptr for the post-processing programs
    EffectKind effect;         // None for the geometry programs
    const char* effectWord;    // as the layer list names the effect; nullptr for None

    bool geometry() const { return geometryFile != nullptr; }
};

inline constexpr const char* kEffectVertexFile = "dat/multiply_vertex.glsl";
inline constexpr const char* kGeomVertexFile = "dat/geom-vert.glsl";

// In build order; the last one built stays current.
inline constexpr std::array<ShaderRecipe, 7> kShaderRecipes = {{
    {"negative", &ShaderTable::negativeShader, &ShaderTable::negativeProgram, kEffectVertexFile,
     "dat/negative_fragment.glsl", nullptr, EffectKind::Negative, "negative"},
    {"multiply", &ShaderTable::multiplyShader, &ShaderTable::multiplyProgram, kEffectVertexFile,
     "dat/multiply_fragment.glsl", nullptr, EffectKind::Multiply, "multiply"},
    {"overlay", &ShaderTable::overlayShader, &ShaderTable::overlayProgram, kEffectVertexFile,
     "dat/overlay_fragment.glsl", nullptr, EffectKind::Overlay, "overlay"},
    {"blur", &ShaderTable::blurShader, &ShaderTable::blurProgram, kEffectVertexFile, "dat/dof_fragment.glsl", nullptr,
     EffectKind::Blur, "blur"},
    {"replace", &ShaderTable::replaceShader, &ShaderTable::replaceProgram, kEffectVertexFile,
     "dat/replace_fragment.glsl", nullptr, EffectKind::Replace, "replace"},
    {"particle lines", &ShaderTable::lineGeomShader, &ShaderTable::lineGeomProgram, kGeomVertexFile,
     "dat/geom-frag.glsl", "dat/geom-geom.glsl", EffectKind::None, nullptr},
    {"blob strings", &ShaderTable::blobGeomShader, &ShaderTable::blobGeomProgram, kGeomVertexFile,
     "dat/geom-blob-frag.glsl", "dat/geom-geom-blobe.glsl", EffectKind::None, nullptr},
}};

// Builds the seven programs in table order; the last one built stays current. A missing
// source is named in one line; its program is left out (it does not link).
void buildShaderPrograms();

// How a build that fails is worded and what it leaves: at start-up the entry keeps its
// objects even unlinked; a reload deletes them and the old program stays.
enum class ShaderBuildKind { StartUp, Reload };

// Compiles the entry's stages from their files and links them, printing the log of each
// stage that does not compile and of a link that fails, in the wording of the kind. The
// objects made, and whether the program linked.
struct ShaderBuild {
    ShaderEntry objects;
    bool linked = false;
};
ShaderBuild buildShaderEntry(const ShaderRecipe& entry, ShaderBuildKind kind);
// Deletes the program and shaders of the entry (0 names none).
void deleteShaderEntry(const ShaderEntry& entry);

// Makes the program current (0: none), unless it did not link: GL would refuse such a
// program with an error and keep the current one, so it is skipped and the current one
// stays, without the error. False then.
bool useProgram(unsigned int program);
