// The swap interval asked of GLX: the extension string of the context's screen, the entry
// point of the chosen extension, and what the driver made of the request.
#include "program/swap_control.h"

#include "base/gl.h"

// After GLEW and the demo's headers: Xlib's macros (None, Bool, Status) would clash.
#include <GL/glx.h>

namespace {

// The screen of the current context; the default screen where GLX cannot say.
int currentScreen(Display* display) {
    int screen = DefaultScreen(display);
    if (const GLXContext context = glXGetCurrentContext(); context != nullptr) {
        glXQueryContext(display, context, GLX_SCREEN, &screen);
    }
    return screen;
}

template <typename Function>
Function entryPoint(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

SwapResult requestSwapInterval(bool vsync) {
    Display* const display = glXGetCurrentDisplay();
    const char* const extensions = display == nullptr ? nullptr
                                                      : glXQueryExtensionsString(display, currentScreen(display));
    const SwapChoice choice = chooseSwapControl(extensions, vsync);
    const auto unusable = [&] {
        return SwapResult{std::nullopt, std::string(swapControlName(choice.extension)) + " offered, but not usable"};
    };
    int error = 0;
    std::optional<int> readBack;
    switch (choice.extension) {
        case SwapControl::Ext: {
            const auto set = entryPoint<PFNGLXSWAPINTERVALEXTPROC>("glXSwapIntervalEXT");
            const GLXDrawable drawable = glXGetCurrentDrawable();
            if (set == nullptr || drawable == 0) return unusable();
            set(display, drawable, choice.interval);
            unsigned int interval = 0;
            glXQueryDrawable(display, drawable, GLX_SWAP_INTERVAL_EXT, &interval);
            readBack = static_cast<int>(interval);
            break;
        }
        case SwapControl::Mesa: {
            const auto set = entryPoint<PFNGLXSWAPINTERVALMESAPROC>("glXSwapIntervalMESA");
            const auto get = entryPoint<PFNGLXGETSWAPINTERVALMESAPROC>("glXGetSwapIntervalMESA");
            if (set == nullptr) return unusable();
            error = set(static_cast<unsigned int>(choice.interval));
            if (get != nullptr) readBack = get();
            break;
        }
        case SwapControl::Sgi: {
            const auto set = entryPoint<PFNGLXSWAPINTERVALSGIPROC>("glXSwapIntervalSGI");
            if (set == nullptr) return unusable();
            error = set(choice.interval);
            break;
        }
        case SwapControl::NotAsked: break;
    }
    return swapOutcome(choice, error, readBack);
}
