#include "assets.h"

void generateMesh(const std::filesystem::path&) {}
