#include <gtest/gtest.h>

#include "base/cue_times.h"
#include "render/post_processing.h"
#include "render/render_targets.h"

TEST(RenderPostProcessing, LayerScrollsOnlyStrictlyInsideItsWindow) {
    const struct {
        float t, scroll;
    } cases[] = {{0.0f, 1.0f},
                 {kLayerScrollStart, 1.0f},
                 {kLayerScrollStart + 1.0f, 0.016f},
                 {kLayerScrollEnd - 0.1f, 3.3f * 0.016f},
                 {kLayerScrollEnd, 1.0f},
                 {kLayerScrollEnd + 30.0f, 1.0f}};
    for (const auto& c : cases) EXPECT_NEAR(layerScroll(c.t), c.scroll, 1e-5f) << c.t;
}

// The particle target is twice the picture each way.
TEST(RenderPostProcessing, TwiceThePictureMustFitEveryLimit) {
    const struct {
        int width, height, maxTexture, maxRenderbuffer;
        bool fits;
    } cases[] = {{1920, 1080, 16384, 16384, true}, {4096, 2160, 8192, 8192, true},   {4097, 2160, 8192, 8192, false},
                 {1080, 4100, 8192, 16384, false}, {4100, 1080, 16384, 8192, false}, {8192, 8192, 0, 0, true}};
    for (const auto& c : cases) EXPECT_EQ(renderTargetsFit(c.width, c.height, c.maxTexture, c.maxRenderbuffer), c.fits);
}
