#include <gtest/gtest.h>

#include "render/post_processing.h"

namespace {

TEST(RenderPostProcessingScroll, OneOutsideTheStrictWindow) {
    EXPECT_FLOAT_EQ(layerScroll(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(layerScroll(64.1f), 1.0f);
    EXPECT_FLOAT_EQ(layerScroll(67.5f), 1.0f);
    EXPECT_FLOAT_EQ(layerScroll(100.0f), 1.0f);
}

TEST(RenderPostProcessingScroll, SlidesInsideTheWindow) {
    EXPECT_NEAR(layerScroll(65.1f), 0.016f, 1e-5f);
    EXPECT_NEAR(layerScroll(67.4f), 3.3f * 0.016f, 1e-5f);
    EXPECT_GT(layerScroll(64.11f), 0.0f);
}

TEST(RenderPostProcessingPingPong, TargetsAlternateAndResultFollowsTheCount) {
    EXPECT_TRUE(layerWritesLayerTarget(0));
    EXPECT_FALSE(layerWritesLayerTarget(1));
    EXPECT_TRUE(layerWritesLayerTarget(2));
    EXPECT_FALSE(resultInLayerTarget(0));
    EXPECT_TRUE(resultInLayerTarget(1));
    EXPECT_FALSE(resultInLayerTarget(2));
    EXPECT_TRUE(resultInLayerTarget(3));
}

}  // namespace
