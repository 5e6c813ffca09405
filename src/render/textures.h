// The texture table: GL names of every image and render texture, filled once at start-up.
#pragma once

#include <array>

// Image slots, in fill order.
extern unsigned int azorTexture;
extern unsigned int introFrame1Texture;
extern unsigned int particleSpriteTexture;
extern unsigned int blackTexture;
extern unsigned int gradientTexture;
extern unsigned int backgroundTexture;
extern unsigned int blackTexture2;
extern unsigned int creditsTexture;
extern unsigned int logoEndTexture;
extern unsigned int greetzTexture;
// Intro frames 1..15; slot 0 stays 0.
extern std::array<unsigned int, 16> introFrames;
// Render textures of the four targets.
extern unsigned int largeTargetTexture;
extern unsigned int sceneTargetTexture;
extern unsigned int layerTargetTexture;
extern unsigned int blobTargetTexture;

// Fills every slot in table order (needs a current GL context).
void loadTextures();
// Cached by file name: the same name gives the same texture and decodes once.
// A file that cannot be decoded ends the run with a message naming it.
unsigned int loadImageTexture(const char* fileName);
// An empty RGBA render texture, linear filtering, cleared to transparent black.
unsigned int createRenderTexture(int width, int height);
