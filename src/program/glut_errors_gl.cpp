// GLUT's fatal errors, in the demo's words. The commonest one a newcomer meets is the
// missing X display: say how to get one.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/gl.h"
#include "base/process_exit.h"
#include "program/glut_errors.h"

namespace {

void glutFatalError(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    // GLUT cannot go on after a fatal error; neither can the demo.
    if (std::strstr(text, "display") == nullptr) exitWithMessage(stderr, "velkarn: %s\n", text);
    exitWithMessage(stderr,
                    "velkarn: %s%s: run it on an X desktop, or under a private Xvfb with "
                    "scripts/with-display.sh\n",
                    text, std::getenv("DISPLAY") == nullptr ? " (DISPLAY is not set)" : "");
}

}  // namespace

void reportGlutErrors() { glutInitErrorFunc(glutFatalError); }
