// The fluid and particle stage: the pulsing obstacle and the fluid steps of every tick,
// the scripted camera and the particle image in one of three layouts.
#pragma once

#include "timeline/transforms.h"

// What the stage carries from tick to tick.
struct FluidStageState {
    float fluidStepCarry = 0.0f;  // fractions of fluid steps carried to later ticks
    int obstaclesCleared = 0;     // set when the obstacles are cleared at kObstacleGone; never reset
    // Factors of the particle advance: one set with the camera, one with the drift once
    // the camera settles.
    float particleStepScale = 1.0f;
    float particleSpeed = 1.0f;
};
extern FluidStageState fluidStage;

// Side of the pulsing square at t: trunc(20 - 15 sin(0.2 t)), 5..35 cells.
int pulsingSquareSize(float t);
// Step 1 and 2 of the fluid preparation: the square before kObstacleGone, one full clear after.
void shapeObstacles(float t);
// Whole fluid steps for a tick of the given delta, 25 per second of demo time; the
// fraction is carried in fluidStepCarry, at most one extra step per tick.
int fluidStepsForTick(float delta);
// Shapes the obstacles and runs the fluid steps of a tick at t with delta.
void prepareFluid(float t, float delta);

// The opening sweep, twist and tilt (until kCameraSettled).
TransformList cameraMovesAt(float t);
// What moves with the camera: particleStepScale and, before kCameraSettled, respawnChance.
void applyCameraRules(float t);
// The fixed offsets, wobble and slides.
TransformList driftMovesAt(float t);
// What moves with the drift: particleSpeed, and after kObstaclesFlushed every obstacle is
// cleared.
void applyDriftRules(float t);

// The particle advance of a tick at t: a step of particleStepScale against a budget of
// delta / 1500, then the remainder.
void stepParticles(float t, float delta);

enum class ParticleLayout { ThreeCopies, Wall, Squeezed };
ParticleLayout particleLayoutAt(float t);
// The drawParticles calls of the particle image, in the order renderParticleImage makes
// them: the layout's copies of the points in rows one unit apart (one row of three, the
// wall's 12 rows of 25, or the one squeezed copy), then the copies with the line strip
// (one over the squeezed copy; else two side by side, none while kTiltStart < t <
// kCameraSettled).
struct ParticlePasses {
    ParticleLayout layout = ParticleLayout::ThreeCopies;
    int rows = 0;
    int columns = 0;
    int lineCopies = 0;
};
ParticlePasses particlePassesAt(float t);
// How many drawParticles calls particlePassesAt(t) makes; after kLineFadeStart each lowers
// the line budget.
int particleDrawCallsAt(float t);
// Turn (degrees about y) and placement of the particle wall.
TransformList wallPlacementAt(float t);
// What the layout of the particle image changes: the respawn chance of the wall (0) and of
// the three copies (0.65), and the line budget of its drawParticles calls.
void applyLayoutRules(float t, float delta);

// GL side, called by the frame driver in this order.
void moveCamera(float t);
void driftCamera(float t);
void renderParticleImage(float t);
