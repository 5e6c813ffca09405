// GLUT's fatal errors, in the demo's words. The commonest one a newcomer meets is the
// missing X display: say how to get one.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/gl.h"
#include "shell/shell.h"

namespace {

void glutFatalError(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (std::strstr(text, "display") == nullptr) {
        std::fprintf(stderr, "velkarn: %s\n", text);
    } else {
        std::fprintf(stderr, "velkarn: %s%s: run it on an X desktop, or under a private Xvfb with "
                             "scripts/with-display.sh\n",
                     text, std::getenv("DISPLAY") == nullptr ? " (DISPLAY is not set)" : "");
    }
    // GLUT cannot go on after a fatal error; neither can the demo.
    std::exit(1);
}

}  // namespace

void reportGlutErrors() { glutInitErrorFunc(glutFatalError); }
