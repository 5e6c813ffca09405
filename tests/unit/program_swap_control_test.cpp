// Vertical sync: the swap-control extension chosen from what a driver offers, and what
// --stats says once the driver has answered.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "program/swap_control.h"

namespace {

constexpr const char* kAllThree =
    "GLX_ARB_create_context GLX_EXT_swap_control GLX_MESA_swap_control GLX_SGI_swap_control ";
constexpr const char* kOffNotPossible =
    "the driver's default (--vsync off, but GLX_SGI_swap_control cannot set interval 0)";

}  // namespace

TEST(SwapControl, ChoiceFromTheOfferedExtensions) {
    struct Case {
        const char* extensions;
        bool vsync;
        SwapControl extension;
        int interval;
        const char* report;
    };
    for (const Case& c : std::vector<Case>{
             {kAllThree, true, SwapControl::Ext, 1, "GLX_EXT_swap_control, interval 1"},
             {kAllThree, false, SwapControl::Ext, 0, "GLX_EXT_swap_control, interval 0 (--vsync off)"},
             {"GLX_ARB_multisample GLX_MESA_swap_control", true, SwapControl::Mesa, 1,
              "GLX_MESA_swap_control, interval 1"},
             {"GLX_MESA_swap_control", false, SwapControl::Mesa, 0, "GLX_MESA_swap_control, interval 0 (--vsync off)"},
             // The order of preference, not of the string.
             {"GLX_SGI_swap_control GLX_MESA_swap_control", true, SwapControl::Mesa, 1,
              "GLX_MESA_swap_control, interval 1"},
             {"GLX_SGI_swap_control", true, SwapControl::Sgi, 1, "GLX_SGI_swap_control, interval 1"},
             {"GLX_SGI_swap_control", false, SwapControl::NotAsked, 0, kOffNotPossible},
             // A longer name is another extension.
             {"GLX_EXT_swap_control_tear", true, SwapControl::NotAsked, 0, "none offered by the driver"},
             {"GLX_EXT_swap_control_tear GLX_SGI_swap_controlled", false, SwapControl::NotAsked, 0,
              "none offered by the driver"},
             {"", true, SwapControl::NotAsked, 0, "none offered by the driver"},
             {nullptr, true, SwapControl::NotAsked, 0, "none offered by the driver"},
         }) {
        SCOPED_TRACE(std::string(c.extensions == nullptr ? "(null)" : c.extensions) + (c.vsync ? ", on" : ", off"));
        const SwapChoice choice = chooseSwapControl(c.extensions, c.vsync);
        EXPECT_EQ(swapControlName(choice.extension), swapControlName(c.extension));
        EXPECT_EQ(choice.interval, c.interval);
        EXPECT_EQ(choice.report, c.report);
    }
}

// The driver may refuse what was asked, or keep a setting of its own.
TEST(SwapControl, OutcomeOnceTheDriverHasAnswered) {
    struct Case {
        const char* extensions;
        bool vsync;
        int error;
        std::optional<int> readBack;
        std::optional<int> interval;
        const char* report;
    };
    for (const Case& c : std::vector<Case>{
             {kAllThree, true, 0, 1, 1, "GLX_EXT_swap_control, interval 1"},
             {kAllThree, true, 0, 0, 0, "GLX_EXT_swap_control, interval 0 (1 asked)"},
             {"GLX_MESA_swap_control", false, 2, 1, std::nullopt,
              "GLX_MESA_swap_control refused interval 0 (GLX error 2)"},
             {"GLX_SGI_swap_control", true, 0, std::nullopt, 1, "GLX_SGI_swap_control, interval 1"},
             {"GLX_SGI_swap_control", false, 0, std::nullopt, std::nullopt, kOffNotPossible},
         }) {
        SCOPED_TRACE(std::string(c.extensions) + (c.vsync ? ", on" : ", off"));
        const SwapResult result = swapOutcome(chooseSwapControl(c.extensions, c.vsync), c.error, c.readBack);
        EXPECT_EQ(result.interval, c.interval);
        EXPECT_EQ(result.report, c.report);
    }
}
