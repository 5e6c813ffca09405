// The texture table: GL names of every image and render texture, filled once at start-up.
#pragma once

#include <array>
#include <string>

#include "render/image_cache.h"

struct TextureTable {
    // Image slots, in fill order. introFrame1Texture, gradientTexture, blackTexture2 and
    // greetzTexture are drawn by no frame; they are loaded all the same, since start-up
    // needs every one of their files and ends the run without it.
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
    // Intro frames 1..15; slot 0 stays 0.
    std::array<unsigned int, 16> introFrames{};
    // Render textures of the four targets.
    unsigned int largeTargetTexture = 0;
    unsigned int sceneTargetTexture = 0;
    unsigned int layerTargetTexture = 0;
    unsigned int blobTargetTexture = 0;
    // Every image loaded so far, the slots' and the layer list's, by file name.
    ImageCache imageCache;
};
extern TextureTable textures;

// The image slots and their files, in fill order (a file named twice decodes once).
struct ImageSlot {
    unsigned int TextureTable::*texture;
    const char* file;
};
inline constexpr std::array<ImageSlot, 10> kImageSlots = {{
    {&TextureTable::azorTexture, "dat/azor03.jpg"},
    {&TextureTable::introFrame1Texture, "dat/intro_oneeyewhore_1.png"},
    {&TextureTable::particleSpriteTexture, "dat/partikl1.jpg"},
    {&TextureTable::blackTexture, "dat/black.jpg"},
    {&TextureTable::gradientTexture, "dat/gradient2.jpg"},
    {&TextureTable::backgroundTexture, "dat/background1.jpg"},
    {&TextureTable::blackTexture2, "dat/black.jpg"},
    {&TextureTable::creditsTexture, "dat/background1_1920credits.jpg"},
    {&TextureTable::logoEndTexture, "dat/logoend.jpg"},
    {&TextureTable::greetzTexture, "dat/greetz-itself.jpg"},
}};

inline constexpr int kIntroFrameCount = 15;
// "dat/intro_oneeyewhore_N.png" for frame N (1..15).
std::string introFrameFile(int frame);

// Images loadTextures loads: the slots and the fifteen intro frames.
inline constexpr int kLoadedImageCount = static_cast<int>(kImageSlots.size()) + kIntroFrameCount;
// Starts the workers on every image loadTextures will load, in its order (needs the
// driver's largest texture side, so a current GL context).
void prepareStartupImages(int maxTextureSide);
// Fills every slot in table order (needs a current GL context), calling onImage (when given)
// after each of the kLoadedImageCount images.
void loadTextures(void (*onImage)() = nullptr);
// Cached by file name: the same name gives the same texture and decodes once.
// A file that cannot be decoded ends the run with a message naming it.
unsigned int loadImageTexture(const char* fileName);
// An empty RGBA render texture, linear filtering, cleared to transparent black.
unsigned int createRenderTexture(int width, int height);
