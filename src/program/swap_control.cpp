// The choice of a swap-control extension from the driver's GLX extension string.
#include "program/swap_control.h"

#include <array>

namespace {

// In the order of preference: EXT sets the interval of the drawable and may set 0, MESA
// sets it for the context and may set 0, SGI cannot set 0.
constexpr std::array kPreferred = {SwapControl::Ext, SwapControl::Mesa, SwapControl::Sgi};

// Whole names only: GLX_EXT_swap_control_tear is not GLX_EXT_swap_control.
bool offers(std::string_view extensions, std::string_view name) {
    while (!extensions.empty()) {
        const std::size_t space = extensions.find(' ');
        if (extensions.substr(0, space) == name) return true;
        if (space == std::string_view::npos) break;
        extensions.remove_prefix(space + 1);
    }
    return false;
}

}  // namespace

std::string_view swapControlName(SwapControl extension) {
    switch (extension) {
        case SwapControl::Ext: return "GLX_EXT_swap_control";
        case SwapControl::Mesa: return "GLX_MESA_swap_control";
        case SwapControl::Sgi: return "GLX_SGI_swap_control";
        case SwapControl::NotAsked: break;
    }
    return "";
}

SwapChoice chooseSwapControl(const char* extensions, bool vsync) {
    const std::string_view offered = extensions == nullptr ? std::string_view() : std::string_view(extensions);
    for (const SwapControl extension : kPreferred) {
        if (!offers(offered, swapControlName(extension))) continue;
        const std::string name(swapControlName(extension));
        if (vsync) return {extension, 1, name + ", interval 1"};
        if (extension == SwapControl::Sgi) {
            return {SwapControl::NotAsked, 0,
                    "the driver's default (--vsync off, but " + name + " cannot set interval 0)"};
        }
        return {extension, 0, name + ", interval 0 (--vsync off)"};
    }
    return {SwapControl::NotAsked, 0, "none offered by the driver"};
}

SwapResult swapOutcome(const SwapChoice& choice, int error, std::optional<int> readBack) {
    if (choice.extension == SwapControl::NotAsked) return {std::nullopt, choice.report};
    const std::string name(swapControlName(choice.extension));
    const std::string asked = std::to_string(choice.interval);
    if (error != 0) {
        return {std::nullopt, name + " refused interval " + asked + " (GLX error " + std::to_string(error) + ")"};
    }
    if (readBack && *readBack != choice.interval) {
        return {readBack, name + ", interval " + std::to_string(*readBack) + " (" + asked + " asked)"};
    }
    return {choice.interval, choice.report};
}
