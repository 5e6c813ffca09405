// The texture names of the pictures and render targets, filled in at load.
#include "render/textures.h"

TextureTable textures;
