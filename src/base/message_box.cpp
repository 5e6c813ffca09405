// Error reports: a line on standard error, and a dialog box where dialogs are on.
#include "base/message_box.h"

#include <SDL.h>

#include <cstdio>

bool dialogsEnabled = true;

void showErrorBox(const char* text) {
    std::fprintf(stderr, "Error: %s\n", text);
    std::fflush(stderr);
    if (!dialogsEnabled) return;
    // Fails without a display or a usable video driver; the line above stands then.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text, nullptr);
}
