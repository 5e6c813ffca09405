// Which scene the picture shows: the layer composition or, from kBlobSceneStart to
// kWallStart, the blob section. The switch is state, not a function of the time alone: a
// seek back below kBlobSceneStart keeps the blob section until the time passes kWallStart.
#pragma once

#include <cstdint>

enum class Scene : std::uint8_t {
    Layers,       // the layer composition: background, particle image, overlays, intro
    BlobSection,  // the soft bodies replace the layer composition
};

// The switch, living for the whole run; no reset touches it.
struct SceneSwitch {
    int blobActive = 0;  // 1 while the blob section replaces the layer composition
};
extern SceneSwitch sceneSwitch;

// The scene that blobActive selects.
constexpr Scene sceneOf(int blobActive) { return blobActive == 1 ? Scene::BlobSection : Scene::Layers; }
// The scene showing now.
inline Scene shownScene() { return sceneOf(sceneSwitch.blobActive); }

// Raised above kBlobSceneStart, lowered above kWallStart, unchanged at or below
// kBlobSceneStart.
void updateSceneSwitch(float t);
