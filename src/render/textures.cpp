// The texture names of the pictures and render targets, filled in at load.
#include "render/textures.h"

unsigned int azorTexture = 0;
unsigned int introFrame1Texture = 0;
unsigned int particleSpriteTexture = 0;
unsigned int blackTexture = 0;
unsigned int gradientTexture = 0;
unsigned int backgroundTexture = 0;
unsigned int blackTexture2 = 0;
unsigned int creditsTexture = 0;
unsigned int logoEndTexture = 0;
unsigned int greetzTexture = 0;
std::array<unsigned int, 16> introFrames{};
unsigned int largeTargetTexture = 0;
unsigned int sceneTargetTexture = 0;
unsigned int layerTargetTexture = 0;
unsigned int blobTargetTexture = 0;
