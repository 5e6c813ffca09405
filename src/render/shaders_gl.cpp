// The one way a program of the shader table is built, at start-up and on reload: each
// stage compiled from its file, the stages linked, and what failed printed with its log.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/data_root.h"
#include "base/gl.h"
#include "render/geometry_shader.h"
#include "render/shaders.h"
#include "render/text_file.h"

namespace {

struct Stage {
    GLenum type;
    std::string file;  // as opened, under the data root
    unsigned int ShaderEntry::*object;
};

// The stage source ready for glShaderSource: the geometry stage prepared for this driver.
std::optional<std::string> stageSource(const Stage& stage) {
    std::optional<std::string> text = readTextFile(stage.file.c_str());
    if (text && stage.type == GL_GEOMETRY_SHADER_EXT) text = prepareGeometrySource(*text);
    return text;
}

// The log of a shader or program; the shader and program queries have the same shape.
std::vector<char> infoLog(GLuint object, PFNGLGETSHADERIVPROC getValue, PFNGLGETSHADERINFOLOGPROC getLog) {
    GLint length = 0;
    getValue(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    getLog(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return log;
}

bool succeeded(GLuint object, GLenum statusQuery, PFNGLGETSHADERIVPROC getValue) {
    GLint ok = GL_FALSE;
    getValue(object, statusQuery, &ok);
    return ok == GL_TRUE;
}

void reportCompile(ShaderBuildKind kind, GLuint shader, const char* file) {
    const std::vector<char> log = infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
    if (kind == ShaderBuildKind::StartUp) {
        std::fprintf(stderr, "Shader %s does not compile:\n%s\n", file, log.data());
    } else {
        std::fprintf(stderr, "%s does not compile:\n%s\n", file, log.data());
    }
}

void reportLink(ShaderBuildKind kind, GLuint program, const ShaderRecipe& entry) {
    const std::vector<char> log = infoLog(program, glGetProgramiv, glGetProgramInfoLog);
    if (kind == ShaderBuildKind::StartUp) {
        // Named after the last stage's file.
        std::fprintf(stderr, "Program with %s does not link:\n%s\n",
                     entry.geometry() ? entry.geometryFile : entry.fragmentFile, log.data());
    } else {
        std::fprintf(stderr, "the %s program does not link:\n%s\n", entry.name, log.data());
    }
}

}  // namespace

ShaderBuild buildShaderEntry(const ShaderRecipe& entry, ShaderBuildKind kind) {
    const bool startUp = kind == ShaderBuildKind::StartUp;
    std::vector<Stage> stages = {{GL_VERTEX_SHADER, dataPath(entry.vertexFile), &ShaderEntry::vertexShader},
                                 {GL_FRAGMENT_SHADER, dataPath(entry.fragmentFile), &ShaderEntry::fragmentShader}};
    if (entry.geometry()) {
        stages.push_back({GL_GEOMETRY_SHADER_EXT, dataPath(entry.geometryFile), &ShaderEntry::geometryShader});
    }

    // Every stage gets its shader, with or without a source: one without does not compile,
    // and the program does not link.
    ShaderBuild build;
    std::vector<bool> sourced;
    std::vector<bool> stageCompiled;
    for (const Stage& stage : stages) {
        const GLuint shader = glCreateShader(stage.type);
        build.objects.*stage.object = shader;
        const std::optional<std::string> text = stageSource(stage);
        if (text) {
            const char* source = text->c_str();
            glShaderSource(shader, 1, &source, nullptr);
        }
        glCompileShader(shader);
        sourced.push_back(text.has_value());
        stageCompiled.push_back(succeeded(shader, GL_COMPILE_STATUS, glGetShaderiv));
    }
    const auto firstMissing = std::find(sourced.begin(), sourced.end(), false);
    const bool allSourced = firstMissing == sourced.end();
    const bool compiled = std::find(stageCompiled.begin(), stageCompiled.end(), false) == stageCompiled.end();
    if (startUp && !allSourced) {
        // One line; the logs would only repeat it.
        std::fprintf(stderr, "velkarn: the shader source %s is missing or empty: the %s program is left out\n",
                     stages[static_cast<std::size_t>(firstMissing - sourced.begin())].file.c_str(), entry.name);
    } else {
        // A reload names each missing source where its log would be.
        for (std::size_t i = 0; i < stages.size(); ++i) {
            if (!sourced[i]) {
                std::fprintf(stderr, "%s: the shader source is missing or empty\n", stages[i].file.c_str());
            } else if (!stageCompiled[i]) {
                reportCompile(kind, build.objects.*stages[i].object, stages[i].file.c_str());
            }
        }
    }
    // A start-up program is made whatever its stages did, so its name stands in the table
    // (useProgram skips it); a reload links only stages that compiled.
    if (!startUp && !compiled) return build;
    build.objects.program = glCreateProgram();
    glAttachShader(build.objects.program, build.objects.fragmentShader);
    glAttachShader(build.objects.program, build.objects.vertexShader);
    if (entry.geometry()) {
        glAttachShader(build.objects.program, build.objects.geometryShader);
        setGeometryProgramParameters(build.objects.program);
    }
    glLinkProgram(build.objects.program);
    build.linked = succeeded(build.objects.program, GL_LINK_STATUS, glGetProgramiv);
    if (!build.linked && allSourced) reportLink(kind, build.objects.program, entry);
    return build;
}

void deleteShaderEntry(const ShaderEntry& entry) {
    if (entry.program != 0) glDeleteProgram(entry.program);
    for (const GLuint shader : {entry.vertexShader, entry.fragmentShader, entry.geometryShader}) {
        if (shader != 0) glDeleteShader(shader);
    }
}

bool useProgram(unsigned int program) {
    if (program != 0) {
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) return false;
    }
    glUseProgram(program);
    return true;
}

void buildShaderPrograms() {
    for (const ShaderRecipe& entry : kShaderRecipes) {
        const ShaderBuild build = buildShaderEntry(entry, ShaderBuildKind::StartUp);
        programs.*entry.shader = build.objects;
        programs.*entry.program = build.objects.program;
        useProgram(build.objects.program);
    }
}
