// Vertical sync of a real-time run: which GLX swap-control extension asks the display to
// wait, chosen from the driver's extension string, and what --stats says about it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class SwapControl : std::uint8_t { NotAsked, Ext, Mesa, Sgi };

struct SwapChoice {
    SwapControl extension = SwapControl::NotAsked;  // NotAsked: no swap interval is asked for
    int interval = 0;                               // what is asked for through it
    std::string report;                             // the --stats line after "vsync: "
};

// "GLX_EXT_swap_control", ...; empty for NotAsked.
std::string_view swapControlName(SwapControl extension);

// The first of GLX_EXT_swap_control, GLX_MESA_swap_control and GLX_SGI_swap_control that
// the space-separated GLX extension list names (null: none), asking for interval 1 when
// vsync is wanted and 0 when not. GLX_SGI_swap_control cannot ask for 0: with only that
// one offered and vsync off, nothing is asked for and the report says why.
SwapChoice chooseSwapControl(const char* extensions, bool vsync);

struct SwapResult {
    std::optional<int> interval;  // in effect as far as GLX tells; none: the driver's own
    std::string report;           // the --stats line after "vsync: "
};

// What a choice came to once the driver has answered: its GLX error code (0: accepted)
// and the interval read back, where the extension can read it. A driver setting (Mesa's
// vblank_mode, a control panel) may refuse or override what was asked.
SwapResult swapOutcome(const SwapChoice& choice, int error, std::optional<int> readBack);

// GL side. Asks the current GLX context's display for the swap interval of the choice made
// from its extensions.
SwapResult requestSwapInterval(bool vsync);
