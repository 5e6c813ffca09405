// Fuzzes the configuration reader: any bytes give three words read as width, height and
// display mode, never a read past the input or a word over 79 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "base/config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    readConfigWords(in);
    if (screen.fullScreen != 0 && screen.fullScreen != 1) std::abort();
    // The mode word can only be "fullscreen" if the text holds it.
    if (screen.fullScreen == 1 && text.find("fullscreen") == std::string::npos) std::abort();
    (void)pictureSizeUsable(screen.screenWidth, screen.screenHeight);
    formatGameMode("%dx%d", screen.screenWidth, screen.screenHeight);
    return 0;
}
