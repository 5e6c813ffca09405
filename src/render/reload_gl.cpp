// Rebuilding shader programs and the layer list under a running demo.
#include <cstdio>
#include <fstream>
#include <vector>

#include "sim/particles.h"
#include "render/geometry_shader.h"
#include "base/gl.h"
#include "render/reload.h"
#include "render/texture_loading.h"

namespace {

// Compiles one stage; 0 (with the log printed) when the source is missing or wrong.
GLuint compileStage(GLenum type, const char* fileName, const std::optional<std::string>& text) {
    if (!text) {
        std::fprintf(stderr, "%s: the shader source is missing or empty\n", fileName);
        return 0;
    }
    const GLuint shader = glCreateShader(type);
    const char* source = text->c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::fprintf(stderr, "%s does not compile:\n%s\n", fileName, log.data());
    glDeleteShader(shader);
    return 0;
}

bool linked(GLuint program, const char* name) {
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE) return true;
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::fprintf(stderr, "the %s program does not link:\n%s\n", name, log.data());
    return false;
}

void deleteShaders(const ShaderEntry& entry) {
    for (const GLuint shader : {entry.vertexShader, entry.fragmentShader, entry.geometryShader}) {
        if (shader != 0) glDeleteShader(shader);
    }
}

}  // namespace

bool rebuildShaderEntry(std::size_t index) {
    const std::span<const ShaderSourceSet> sets = shaderSourceSets();
    if (index >= sets.size()) return false;
    const ShaderSourceSet& set = sets[index];
    const bool geometry = set.geometryFile != nullptr;

    ShaderEntry fresh;
    fresh.vertexShader = compileStage(GL_VERTEX_SHADER, set.vertexFile, readTextFile(set.vertexFile));
    fresh.fragmentShader = compileStage(GL_FRAGMENT_SHADER, set.fragmentFile, readTextFile(set.fragmentFile));
    if (geometry) {
        // The same preparation as at start-up.
        std::optional<std::string> text = readTextFile(set.geometryFile);
        if (text) text = prepareGeometrySource(*text);
        fresh.geometryShader = compileStage(GL_GEOMETRY_SHADER_EXT, set.geometryFile, text);
    }
    const bool compiled = fresh.vertexShader != 0 && fresh.fragmentShader != 0 && (!geometry || fresh.geometryShader != 0);
    if (compiled) {
        fresh.program = glCreateProgram();
        glAttachShader(fresh.program, fresh.fragmentShader);
        glAttachShader(fresh.program, fresh.vertexShader);
        if (geometry) {
            glAttachShader(fresh.program, fresh.geometryShader);
            setGeometryProgramParameters(fresh.program);
        }
        glLinkProgram(fresh.program);
    }
    if (!compiled || !linked(fresh.program, set.name)) {
        if (fresh.program != 0) glDeleteProgram(fresh.program);
        deleteShaders(fresh);
        std::fprintf(stderr, "the %s program stays as it was\n", set.name);
        return false;
    }

    const ShaderEntry old = *set.entry;
    *set.entry = fresh;
    *set.program = fresh.program;
    replaceLayerProgram(blendLayers, old.program, fresh.program);
    if (particles.particleLineProgram == old.program && old.program != 0) particles.particleLineProgram = fresh.program;
    // A program still current is deleted by GL once it is no longer in use.
    if (old.program != 0) glDeleteProgram(old.program);
    deleteShaders(old);
    std::printf("velkarn: rebuilt the %s program\n", set.name);
    std::fflush(stdout);
    return true;
}

bool reloadBlendLayerFile() {
    std::ifstream in(kBlendLayerFile, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s cannot be read; the old layers stay\n", kBlendLayerFile);
        return false;
    }
    std::string error;
    const TryImageLoader loader = [](const char* fileName, std::string* why) {
        return tryLoadImageTexture(fileName, why);
    };
    if (!readBlendLayersChecked(in, loader, blendLayers, error)) {
        std::fprintf(stderr, "%s: %s; the old layers stay\n", kBlendLayerFile, error.c_str());
        return false;
    }
    std::printf("velkarn: reloaded %s (%zu layers)\n", kBlendLayerFile, blendLayers.size());
    std::fflush(stdout);
    return true;
}
