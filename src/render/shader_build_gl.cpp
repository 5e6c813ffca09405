// Builds the seven programs of the shader table, each completely before the next.
#include <cstdio>
#include <string>
#include <vector>

#include "render/geometry_shader.h"
#include "render/gl.h"
#include "render/shaders.h"

namespace {

void sourceShader(GLuint shader, const char* fileName, const std::optional<std::string>& text) {
    if (!text) {
        // The shader stays without source; its compile and the program's link fail.
        std::fprintf(stderr, "Shader source %s is missing or empty\n", fileName);
        return;
    }
    const char* source = text->c_str();
    glShaderSource(shader, 1, &source, nullptr);
}

void reportCompile(GLuint shader, const char* fileName) {
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::fprintf(stderr, "Shader %s does not compile:\n%s\n", fileName, log.data());
}

void reportLink(GLuint program, const char* fragmentFile) {
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok == GL_TRUE) return;
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::fprintf(stderr, "Program with %s does not link:\n%s\n", fragmentFile, log.data());
}

void buildTwoStage(ShaderEntry& entry, unsigned int& program, const char* vertexFile, const char* fragmentFile) {
    entry.vertexShader = glCreateShader(GL_VERTEX_SHADER);
    entry.fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    const std::optional<std::string> vertexText = readTextFile(vertexFile);
    const std::optional<std::string> fragmentText = readTextFile(fragmentFile);
    sourceShader(entry.vertexShader, vertexFile, vertexText);
    sourceShader(entry.fragmentShader, fragmentFile, fragmentText);
    glCompileShader(entry.vertexShader);
    glCompileShader(entry.fragmentShader);
    reportCompile(entry.vertexShader, vertexFile);
    reportCompile(entry.fragmentShader, fragmentFile);
    entry.program = glCreateProgram();
    program = entry.program;
    glAttachShader(entry.program, entry.fragmentShader);
    glAttachShader(entry.program, entry.vertexShader);
    glLinkProgram(entry.program);
    reportLink(entry.program, fragmentFile);
    glUseProgram(entry.program);
}

void buildThreeStage(ShaderEntry& entry, unsigned int& program, const char* vertexFile, const char* fragmentFile,
                     const char* geometryFile) {
    entry.vertexShader = glCreateShader(GL_VERTEX_SHADER);
    entry.fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    entry.geometryShader = glCreateShader(GL_GEOMETRY_SHADER_EXT);
    const std::optional<std::string> vertexText = readTextFile(vertexFile);
    const std::optional<std::string> fragmentText = readTextFile(fragmentFile);
    std::optional<std::string> geometryText = readTextFile(geometryFile);
    if (geometryText) geometryText = prepareGeometrySource(*geometryText);
    sourceShader(entry.vertexShader, vertexFile, vertexText);
    sourceShader(entry.fragmentShader, fragmentFile, fragmentText);
    sourceShader(entry.geometryShader, geometryFile, geometryText);
    glCompileShader(entry.vertexShader);
    glCompileShader(entry.fragmentShader);
    glCompileShader(entry.geometryShader);
    reportCompile(entry.vertexShader, vertexFile);
    reportCompile(entry.fragmentShader, fragmentFile);
    reportCompile(entry.geometryShader, geometryFile);
    entry.program = glCreateProgram();
    program = entry.program;
    glAttachShader(entry.program, entry.fragmentShader);
    glAttachShader(entry.program, entry.vertexShader);
    glAttachShader(entry.program, entry.geometryShader);
    setGeometryProgramParameters(entry.program);
    glLinkProgram(entry.program);
    reportLink(entry.program, geometryFile);
    glUseProgram(entry.program);
}

}  // namespace

void buildShaderPrograms() {
    constexpr const char* kEffectVertex = "dat/multiply_vertex.glsl";
    buildTwoStage(negativeShader, negativeProgram, kEffectVertex, "dat/negative_fragment.glsl");
    buildTwoStage(multiplyShader, multiplyProgram, kEffectVertex, "dat/multiply_fragment.glsl");
    buildTwoStage(overlayShader, overlayProgram, kEffectVertex, "dat/overlay_fragment.glsl");
    buildTwoStage(blurShader, blurProgram, kEffectVertex, "dat/dof_fragment.glsl");
    buildTwoStage(replaceShader, replaceProgram, kEffectVertex, "dat/replace_fragment.glsl");
    buildThreeStage(lineGeomShader, lineGeomProgram, "dat/geom-vert.glsl", "dat/geom-frag.glsl", "dat/geom-geom.glsl");
    buildThreeStage(blobGeomShader, blobGeomProgram, "dat/geom-vert.glsl", "dat/geom-blob-frag.glsl",
                    "dat/geom-geom-blobe.glsl");
}
