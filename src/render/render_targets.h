// Off-screen render targets: framebuffer, depth renderbuffer and a colour texture.
#pragma once

struct RenderTarget {
    unsigned int framebuffer = 0;
    unsigned int renderbuffer = 0;
    const unsigned int* colourTexture = nullptr;  // a slot of the texture table
    int width = 0;
    int height = 0;
};

struct RenderTargets {
    RenderTarget largeTarget;  // 2W by 2H: the particle image
    RenderTarget sceneTarget;  // W by H: the frame's picture
    RenderTarget blobTarget;   // W by H: blob-section snapshots
    RenderTarget layerTarget;  // W by H: ping-pong partner of the post-processing pass
};
extern RenderTargets targets;

// Whether the driver can hold every target of a width by height picture: the particle
// image is twice the picture in each direction. A limit of 0 or below is unknown.
bool renderTargetsFit(int width, int height, int maxTextureSize, int maxRenderbufferSize);

// Generates framebuffer and renderbuffer names in the order large, scene, blob, layer.
void generateRenderTargets();
// Makes the target the drawing destination; re-attaches colour and depth every time.
void bindRenderTarget(const RenderTarget& target);
// Framebuffer 0 and renderbuffer 0 again.
void bindWindowFramebuffer();
