// The two views of the unit square and the three full-picture quads.
#pragma once

// fixedProjection and the look-at from (0.5, 0.5, 0.5) to (0.5, 0.5, 0); modelview selected.
void setPerspectiveView();
// Pushes the projection and replaces it by gluOrtho2D(-0.5, 0.5, -0.5, 0.5); modelview selected.
void setOverlayProjection();
// Pops the last overlay projection push, if any (the perspective view pops them all).
void popOverlayProjection();
// Unit-square quads: image textures (top row at t = 0), render textures (bottom row at
// t = 0), and no texture coordinates.
void drawImageQuad();
void drawTargetQuad();
void drawPlainQuad();
