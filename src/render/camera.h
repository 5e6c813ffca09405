// The shared look-at camera of the blob scene, moved and dumped by the developer keys.
#pragma once

struct Camera {
    float eyex, eyey, eyez;
    float centerX, centerY, centerZ;
    float upx, upy, upz;
};

extern Camera camera;

// The values start-up leaves in the camera.
void setStartCamera();
