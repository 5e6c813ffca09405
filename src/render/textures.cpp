// The texture names of the pictures and render targets, filled in at load.
#include "render/textures.h"

TextureTable textures;

std::string introFrameFile(int frame) { return "dat/intro_oneeyewhore_" + std::to_string(frame) + ".png"; }
