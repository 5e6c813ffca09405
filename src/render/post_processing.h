// The post-processing pass and its pure rules.
#pragma once

#include <cstddef>

// Sideways scroll of the layer image on texture unit 1: growing by 0.016 a second
// strictly inside kLayerScrollStart .. kLayerScrollEnd, else 1.0 (which the repeat wrap
// shows like 0).
float layerScroll(float t);

// Layer i reads the scene target and writes the layer target when i is even, the other
// way round when i is odd; after N layers the result sits in the layer target when N is
// odd and in the scene target when N is even (0 included).
inline bool layerWritesLayerTarget(std::size_t index) { return index % 2 == 0; }
inline bool resultInLayerTarget(std::size_t layerCount) { return layerCount % 2 == 1; }

// Runs the layers live at demo time t over sceneTargetTexture and copies the result to the
// window.
void applyPostProcessing(float t);
