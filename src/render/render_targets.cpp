// The four off-screen render targets, and whether the driver can hold targets of a size.
#include "render/render_targets.h"

#include "render/textures.h"

#include <algorithm>

RenderTargets targets{
    {0, 0, &textures.largeTargetTexture, 0, 0},
    {0, 0, &textures.sceneTargetTexture, 0, 0},
    {0, 0, &textures.blobTargetTexture, 0, 0},
    {0, 0, &textures.layerTargetTexture, 0, 0},
};

bool renderTargetsFit(int width, int height, int maxTextureSize, int maxRenderbufferSize) {
    const long long largest = 2LL * std::max(width, height);
    const auto within = [largest](int limit) { return limit <= 0 || largest <= limit; };
    return within(maxTextureSize) && within(maxRenderbufferSize);
}
