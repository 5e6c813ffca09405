// Builds the seven programs of the shader table, each completely before the next.
#include <cstdio>
#include <string>
#include <vector>

#include "render/geometry_shader.h"
#include "base/gl.h"
#include "render/shaders.h"

namespace {

// False when the text is missing: the shader stays without source, and its compile and
// the program's link fail.
bool sourceShader(GLuint shader, const std::optional<std::string>& text) {
    if (!text) return false;
    const char* source = text->c_str();
    glShaderSource(shader, 1, &source, nullptr);
    return true;
}

// One line for an entry with a missing source; its compile and link logs would only
// repeat it.
void reportMissing(const char* fileName, const char* name) {
    std::fprintf(stderr, "velkarn: the shader source %s is missing or empty: the %s program is left out\n", fileName,
                 name);
}

// The log of a shader whose compile, or a program whose link, did not succeed; the
// shader and program queries have the same shape.
void reportFailure(GLuint object, GLenum statusQuery, PFNGLGETSHADERIVPROC getValue,
                   PFNGLGETSHADERINFOLOGPROC getLog, const char* what, const char* fileName, const char* failure) {
    GLint ok = GL_FALSE;
    getValue(object, statusQuery, &ok);
    if (ok == GL_TRUE) return;
    GLint length = 0;
    getValue(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    getLog(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::fprintf(stderr, "%s %s does not %s:\n%s\n", what, fileName, failure, log.data());
}

void reportCompile(GLuint shader, const char* fileName) {
    reportFailure(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "Shader", fileName, "compile");
}

void reportLink(GLuint program, const char* fragmentFile) {
    reportFailure(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "Program with", fragmentFile, "link");
}

void buildTwoStage(const char* name, ShaderEntry& entry, unsigned int& program, const char* vertexFile,
                   const char* fragmentFile) {
    entry.vertexShader = glCreateShader(GL_VERTEX_SHADER);
    entry.fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    const std::optional<std::string> vertexText = readTextFile(vertexFile);
    const std::optional<std::string> fragmentText = readTextFile(fragmentFile);
    const bool vertexSourced = sourceShader(entry.vertexShader, vertexText);
    const bool fragmentSourced = sourceShader(entry.fragmentShader, fragmentText);
    glCompileShader(entry.vertexShader);
    glCompileShader(entry.fragmentShader);
    const bool sourced = vertexSourced && fragmentSourced;
    if (sourced) {
        reportCompile(entry.vertexShader, vertexFile);
        reportCompile(entry.fragmentShader, fragmentFile);
    } else {
        reportMissing(vertexSourced ? fragmentFile : vertexFile, name);
    }
    entry.program = glCreateProgram();
    program = entry.program;
    glAttachShader(entry.program, entry.fragmentShader);
    glAttachShader(entry.program, entry.vertexShader);
    glLinkProgram(entry.program);
    if (sourced) reportLink(entry.program, fragmentFile);
    useProgram(entry.program);
}

void buildThreeStage(const char* name, ShaderEntry& entry, unsigned int& program, const char* vertexFile,
                     const char* fragmentFile, const char* geometryFile) {
    entry.vertexShader = glCreateShader(GL_VERTEX_SHADER);
    entry.fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    entry.geometryShader = glCreateShader(GL_GEOMETRY_SHADER_EXT);
    const std::optional<std::string> vertexText = readTextFile(vertexFile);
    const std::optional<std::string> fragmentText = readTextFile(fragmentFile);
    std::optional<std::string> geometryText = readTextFile(geometryFile);
    if (geometryText) geometryText = prepareGeometrySource(*geometryText);
    const bool vertexSourced = sourceShader(entry.vertexShader, vertexText);
    const bool fragmentSourced = sourceShader(entry.fragmentShader, fragmentText);
    const bool geometrySourced = sourceShader(entry.geometryShader, geometryText);
    glCompileShader(entry.vertexShader);
    glCompileShader(entry.fragmentShader);
    glCompileShader(entry.geometryShader);
    const bool sourced = vertexSourced && fragmentSourced && geometrySourced;
    if (sourced) {
        reportCompile(entry.vertexShader, vertexFile);
        reportCompile(entry.fragmentShader, fragmentFile);
        reportCompile(entry.geometryShader, geometryFile);
    } else {
        reportMissing(!vertexSourced ? vertexFile : !fragmentSourced ? fragmentFile : geometryFile, name);
    }
    entry.program = glCreateProgram();
    program = entry.program;
    glAttachShader(entry.program, entry.fragmentShader);
    glAttachShader(entry.program, entry.vertexShader);
    glAttachShader(entry.program, entry.geometryShader);
    setGeometryProgramParameters(entry.program);
    glLinkProgram(entry.program);
    if (sourced) reportLink(entry.program, geometryFile);
    useProgram(entry.program);
}

}  // namespace

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
    constexpr const char* kEffectVertex = "dat/multiply_vertex.glsl";
    buildTwoStage("negative", negativeShader, negativeProgram, kEffectVertex, "dat/negative_fragment.glsl");
    buildTwoStage("multiply", multiplyShader, multiplyProgram, kEffectVertex, "dat/multiply_fragment.glsl");
    buildTwoStage("overlay", overlayShader, overlayProgram, kEffectVertex, "dat/overlay_fragment.glsl");
    buildTwoStage("blur", blurShader, blurProgram, kEffectVertex, "dat/dof_fragment.glsl");
    buildTwoStage("replace", replaceShader, replaceProgram, kEffectVertex, "dat/replace_fragment.glsl");
    buildThreeStage("particle lines", lineGeomShader, lineGeomProgram, "dat/geom-vert.glsl", "dat/geom-frag.glsl",
                    "dat/geom-geom.glsl");
    buildThreeStage("blob strings", blobGeomShader, blobGeomProgram, "dat/geom-vert.glsl", "dat/geom-blob-frag.glsl",
                    "dat/geom-geom-blobe.glsl");
}
