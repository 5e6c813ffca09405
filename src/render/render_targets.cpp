#include "render/render_target.h"

#include "render/textures.h"

RenderTarget largeTarget{0, 0, &largeTargetTexture, 0, 0};
RenderTarget sceneTarget{0, 0, &sceneTargetTexture, 0, 0};
RenderTarget blobTarget{0, 0, &blobTargetTexture, 0, 0};
RenderTarget layerTarget{0, 0, &layerTargetTexture, 0, 0};
