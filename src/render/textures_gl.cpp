// Image textures through the cached loader, the table of start-up textures and the
// empty render textures.
#include "render/textures.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/config.h"
#include "base/data_root.h"
#include "base/gl.h"
#include "base/process_exit.h"
#include "render/image_cache.h"
#include "render/image_preparation.h"
#include "render/texture_loading.h"

std::optional<unsigned int> tryLoadImageTexture(const char* fileName, std::string* error) {
    if (fileName == nullptr) {
        if (error) *error = "no file name";
        return std::nullopt;
    }
    if (const auto cached = findCachedTexture(textures.imageCache, fileName)) return *cached;

    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const PreparedImage prepared = takePreparedImage(fileName, dataPath(fileName), maxSide);
    if (prepared.chain.levels.empty()) {
        if (error) *error = prepared.error;
        return std::nullopt;
    }

    glEnable(GL_TEXTURE_2D);
    // The prepared rows are tightly packed.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const int components = prepared.chain.components;
    const GLenum format = components == 4 ? GL_RGBA : GL_RGB;
    for (std::size_t level = 0; level < prepared.chain.levels.size(); ++level) {
        const MipLevel& l = prepared.chain.levels[level];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), components, l.width, l.height, 0, format,
                     GL_UNSIGNED_BYTE, l.bytes.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    addCachedTexture(textures.imageCache, fileName, texture);
    return texture;
}

unsigned int loadImageTexture(const char* fileName) {
    std::string error;
    const std::optional<unsigned int> texture = tryLoadImageTexture(fileName, &error);
    if (!texture) {
        // The demo cannot run without its pictures; say which one is missing.
        exitWithMessage(stderr, "Cannot load the image %s: %s\n", fileName ? fileName : "(null)", error.c_str());
    }
    return *texture;
}

unsigned int createRenderTexture(int width, int height) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Transparent black from the start, so a target shown before its first drawing shows
    // nothing undefined.
    const std::size_t texels = width > 0 && height > 0
                                   ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height)
                                   : 0;
    const std::vector<std::uint8_t> zeros(texels * 4, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels ? zeros.data() : nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

void prepareStartupImages(int maxTextureSide) {
    std::vector<std::string> names;
    for (const ImageSlot& slot : kImageSlots) names.emplace_back(slot.file);
    for (int i = 1; i <= kIntroFrameCount; ++i) names.push_back(introFrameFile(i));
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(dataPath(name));
    startPreparingImages(maxTextureSide);
    prepareImagesAhead(names, paths);
}

void loadTextures(void (*onImage)()) {
    for (const ImageSlot& slot : kImageSlots) {
        textures.*slot.texture = loadImageTexture(slot.file);
        if (onImage != nullptr) onImage();
    }
    for (int i = 1; i <= kIntroFrameCount; ++i) {
        textures.introFrames[static_cast<std::size_t>(i)] = loadImageTexture(introFrameFile(i).c_str());
        if (onImage != nullptr) onImage();
    }
    textures.largeTargetTexture = createRenderTexture(2 * screen.screenWidth, 2 * screen.screenHeight);
    textures.sceneTargetTexture = createRenderTexture(screen.screenWidth, screen.screenHeight);
    textures.layerTargetTexture = createRenderTexture(screen.screenWidth, screen.screenHeight);
    textures.blobTargetTexture = createRenderTexture(screen.screenWidth, screen.screenHeight);
}
