// The fluid and particle stage of every frame: the pulsing obstacle, the fluid steps,
// the scripted camera and the particle image in one of three layouts.
#pragma once

#include "timeline/transforms.h"

extern float fluidStepCarry;     // fractions of fluid steps carried to later frames
extern int obstaclesCleared;     // set when the obstacles are cleared at 183 s; never reset
extern float particleStepScale;  // factor of the particle advance, set by the camera every frame
extern float particleSpeed;      // factor of the particle advance, set by the drift from 45 s

// Side of the pulsing square at t: trunc(20 - 15 sin(0.2 t)), 5..35 cells.
int pulsingSquareSize(float t);
// Step 1 and 2 of the fluid preparation: the square before 183 s, one full clear after.
void shapeObstacles(float t);
// Whole fluid steps for a frame of the given delta, 25 per second of demo time; the
// fraction is carried in fluidStepCarry, at most one extra step per frame.
int fluidStepsForFrame(float delta);
// Shapes the obstacles and runs this frame's fluid steps.
void prepareFluid();

// The opening sweep, twist and tilt (first 45 s); sets particleStepScale and, before
// 45 s, respawnChance.
TransformList cameraMovesAt(float t);
// The fixed offsets, wobble and slides; sets particleSpeed and clears every obstacle
// after 100 s.
TransformList driftMovesAt(float t);

// The particle advance of this frame: a step of particleStepScale against a budget of
// delta / 1500, then the remainder.
void stepParticles();

enum class ParticleLayout { ThreeCopies, Wall, Squeezed };
ParticleLayout particleLayoutAt(float t);
// The two line copies are drawn unless 26.6 < t < 45.
bool lineCopiesShown(float t);
// drawParticles calls that renderParticleImage makes at t: 3, 300 or 1 copies, plus the
// line copies (each call lowers the line budget after 165 s).
int particleDrawCallsAt(float t);
// Turn (degrees about y) and placement of the particle wall.
TransformList wallPlacementAt(float t);

// GL side, called by the frame driver in this order.
void moveCamera();
void driftCamera();
void renderParticleImage();
