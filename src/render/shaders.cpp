// The GL names of the shader table's programs.
#include "render/shaders.h"

ShaderTable programs;
