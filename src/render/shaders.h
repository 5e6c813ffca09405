// The shader table: seven GL programs built once at start-up.
#pragma once

#include <optional>
#include <string>

struct ShaderEntry {
    unsigned int program = 0;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;
    unsigned int geometryShader = 0;  // geometry entries only
};

extern ShaderEntry negativeShader;
extern ShaderEntry multiplyShader;
extern ShaderEntry overlayShader;
extern ShaderEntry blurShader;
extern ShaderEntry replaceShader;
extern ShaderEntry lineGeomShader;
extern ShaderEntry blobGeomShader;

// Program names as the rest of the demo uses them.
extern unsigned int negativeProgram;
extern unsigned int multiplyProgram;
extern unsigned int overlayProgram;
extern unsigned int blurProgram;
extern unsigned int replaceProgram;
extern unsigned int lineGeomProgram;
extern unsigned int blobGeomProgram;

// The whole file as text (CR-LF read as LF); nothing for a missing or empty file.
std::optional<std::string> readTextFile(const char* fileName);

// Builds the seven programs in table order; the last one built stays current. A missing
// source is named in one line; its program is left out (it does not link).
void buildShaderPrograms();

// Makes the program current (0: none), unless it did not link: GL would refuse such a
// program with an error and keep the current one, so it is skipped and the current one
// stays, without the error. False then.
bool useProgram(unsigned int program);
