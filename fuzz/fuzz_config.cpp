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
    if (fullScreen != 0 && fullScreen != 1) std::abort();
    // The mode word can only be "fullscreen" if the text holds it.
    if (fullScreen == 1 && text.find("fullscreen") == std::string::npos) std::abort();
    (void)pictureSizeUsable(screenWidth, screenHeight);
    formatGameMode("%dx%d", screenWidth, screenHeight);
    return 0;
}
