#include <gtest/gtest.h>

#include "render/image_cache.h"

namespace {

TEST(RenderImageCache, ExactNameFindsItsTexture) {
    ImageCache cache;
    addCachedTexture(cache, "dat/black.jpg", 4);
    addCachedTexture(cache, "dat/azor03.jpg", 7);
    EXPECT_EQ(findCachedTexture(cache, "dat/black.jpg"), 4u);
    EXPECT_EQ(findCachedTexture(cache, "dat/azor03.jpg"), 7u);
    EXPECT_EQ(cache.names.size(), cache.textures.size());
}

TEST(RenderImageCache, KeysAreBytesNotPaths) {
    ImageCache cache;
    addCachedTexture(cache, "dat/black.jpg", 4);
    EXPECT_FALSE(findCachedTexture(cache, "./dat/black.jpg").has_value());
    EXPECT_FALSE(findCachedTexture(cache, "dat/Black.jpg").has_value());
    EXPECT_FALSE(findCachedTexture(cache, "dat/black.jp").has_value());
    EXPECT_FALSE(findCachedTexture(cache, "dat/black.jpg ").has_value());
}

TEST(RenderImageCache, FirstEntryWinsForADuplicateName) {
    ImageCache cache;
    addCachedTexture(cache, "a", 1);
    addCachedTexture(cache, "a", 2);
    EXPECT_EQ(findCachedTexture(cache, "a"), 1u);
}

TEST(RenderImageCache, EmptyCacheFindsNothing) {
    const ImageCache cache;
    EXPECT_FALSE(findCachedTexture(cache, "").has_value());
}

}  // namespace
