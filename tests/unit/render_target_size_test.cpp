// Picture sizes against the driver's texture and renderbuffer limits.
#include <gtest/gtest.h>

#include "render/render_target.h"

TEST(RenderTargetSize, TwiceThePictureMustFitEveryLimit) {
    EXPECT_TRUE(renderTargetsFit(1920, 1080, 16384, 16384));
    EXPECT_TRUE(renderTargetsFit(4096, 2160, 8192, 8192)) << "exactly the limit";
    EXPECT_FALSE(renderTargetsFit(4097, 2160, 8192, 8192));
    EXPECT_FALSE(renderTargetsFit(1080, 4100, 8192, 16384)) << "the taller side counts too";
    EXPECT_FALSE(renderTargetsFit(4100, 1080, 16384, 8192)) << "the renderbuffer limit counts too";
    EXPECT_TRUE(renderTargetsFit(8192, 8192, 0, 0)) << "unknown limits do not refuse";
}
