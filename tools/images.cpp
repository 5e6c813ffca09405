#include "assets.h"

void generateImages(const std::filesystem::path&) {}
