#include "assets.h"

void generateMusic(const std::filesystem::path&) {}
