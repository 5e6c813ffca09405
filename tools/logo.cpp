#include "assets.h"

void generateLogo(const std::filesystem::path&) {}
