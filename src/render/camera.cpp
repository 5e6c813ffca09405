// The blob section's camera and its start position.
#include "render/camera.h"

Camera camera{};

void setStartCamera() { camera = Camera{0.57f, 0.0f, 0.3f, 0.725f, 0.0f, -0.075f, -0.075f, 0.1f, 0.125f}; }
