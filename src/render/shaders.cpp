// The shader table: the source files and the linked program of each of the seven programs.
#include "render/shaders.h"

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
