// The loading bar's place in any window, and how far it is filled.
#include <gtest/gtest.h>

#include <tuple>

#include "program/loading_bar.h"

namespace {

auto box(const LoadingBarBox& b) { return std::tuple(b.x, b.y, b.width, b.height); }

TEST(LoadingBar, CentredTrackFilledByTheStepsDone) {
    const struct {
        int width, height;
        std::tuple<int, int, int, int> track;
    } windows[] = {
        {1920, 1080, {576, 534, 768, 11}},
        {2560, 1200, {768, 594, 1024, 12}},
        {320, 180, {96, 88, 128, 4}},  // never thinner than 4 pixels
        {10, 2, {3, 0, 4, 2}},         // nor taller than the window
        {0, -5, {0, 0, 0, 0}},
    };
    for (const auto& w : windows) EXPECT_EQ(box(loadingBarTrack(w.width, w.height)), w.track) << w.width;

    const LoadingBarBox track = loadingBarTrack(1920, 1080);
    const struct {
        int done, total, width;
    } steps[] = {{0, 36, 0}, {9, 36, 192}, {36, 36, 768}, {40, 36, 768}, {-1, 36, 0}, {3, 0, 768}};
    for (const auto& s : steps) {
        const LoadingBarBox fill = loadingBarFill(track, s.done, s.total);
        EXPECT_EQ(box(fill), std::tuple(576, 534, s.width, 11)) << s.done << " of " << s.total;
    }
}

}  // namespace
