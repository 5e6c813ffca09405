// The fluid stage's rules: the pulsing obstacle, fluid steps per tick, the camera and drift
// moves, the particle steps and the particle layouts by the time.
#include "timeline/fluid_stage.h"

#include <algorithm>
#include <cmath>

#include "base/cue_times.h"
#include "sim/fluid.h"
#include "sim/particles.h"
#include "timeline/scene_switch.h"

FluidStageState fluidStage;

int pulsingSquareSize(float t) {
    // A time that is not a number would give no size at all; the square then rests at 20.
    if (!std::isfinite(t)) return 20;
    return static_cast<int>(20.0 - 15.0 * std::sin(0.2 * static_cast<double>(t)));
}

void shapeObstacles(float t) {
    int* const obstacle = fluidGrid.obstacle;
    if (t < kObstacleGone) {
        const int n = pulsingSquareSize(t);
        // Only the central block is cleared, so cells that a wider square set outside
        // it stay solid until the next full clear.
        for (int y = 15; y <= 34; ++y) {
            for (int x = 15; x <= 34; ++x) obstacle[cellIndex(x, y)] = 0;
        }
        const int s = (kGridSize - n) / 2;
        for (int y = s; y < s + n; ++y) {
            for (int x = s; x < s + n; ++x) obstacle[cellIndex(x, y)] = 1;
        }
    } else if (fluidStage.obstaclesCleared == 0) {
        std::fill_n(obstacle, kCellCount, 0);
        fluidStage.obstaclesCleared = 1;
    }
}

int fluidStepsForTick(float delta) {
    // Far beyond any jump of the clock (a day of demo time), but inside an int.
    constexpr float kMostSteps = 25.0f * 86400.0f;
    float f = std::isfinite(delta) ? std::clamp(delta * 25.0f, -kMostSteps, kMostSteps) : 0.0f;
    if (fluidStage.fluidStepCarry > 1.0f) {
        f = f + 1.0f;
        fluidStage.fluidStepCarry = fluidStage.fluidStepCarry - 1.0f;
    }
    const int n = static_cast<int>(std::floor(f));
    fluidStage.fluidStepCarry = fluidStage.fluidStepCarry + (f - static_cast<float>(n));
    return n;
}

void prepareFluid(float t, float delta) {
    shapeObstacles(t);
    const int steps = fluidStepsForTick(delta);
    for (int i = 0; i < steps; ++i) stepFluid();
}

TransformList cameraMovesAt(float t) {
    TransformList moves;
    const float u = (t - kIntroEnd) / kIntroEnd;
    if (t < kIntroEnd) {
        moves.rotate(35.2f * u, 0.0f, 0.0f, 1.0f);
        moves.rotate(55.2f * u, 0.5f, 1.0f, 0.25f);
    }
    if (t > kIntroEnd && t < kTwistEnd) {
        moves.rotate(10.2f, 0.0f, 0.0f, 1.0f);
        moves.rotate(0.25f * (t - kIntroEnd), 0.0f, 0.0f, 1.0f);
        moves.translate(-(t - kIntroEnd), 0.0f, -0.1f);
    }
    if (t > kTiltStart && t < kCameraSettled) {
        moves.rotate(-33.2f * u, 0.5f, 1.0f, 0.25f);
        moves.translate(-0.03f * (t - kIntroEnd), 0.0f, -0.1f);
    }
    return moves;
}

void applyCameraRules(float t) {
    fluidStage.particleStepScale = t < kIntroEnd ? 0.5f - 0.4f * (t / kIntroEnd) : 1.0f;
    if (t < kCameraSettled) particles.respawnChance = 0.25f;
}

TransformList driftMovesAt(float t) {
    TransformList moves;
    if (t < kCameraSettled) moves.translate(0.165f, -0.1f, -0.050000012f - 0.0035f * t);
    if (t > kCameraSettled && t < kWrapEnd) {
        const float w = 0.015f * (t - kWrapStart);
        moves.translate(-0.3f * w, 0.2f * std::sin(9.0f * w), 0.1f * std::sin(10.0f * w + 7.0f));
    }
    if (t < kWrapEnd) moves.translate(-0.23f, 0.1f, 0.4f);
    if (t > kWrapEnd && t < kSlideEnd) moves.translate(0.15f - 0.04f * (t - kWrapEnd), 0.0f, 0.0f);
    return moves;
}

void applyDriftRules(float t) {
    if (t > kCameraSettled && t < kWrapEnd) {
        fluidStage.particleSpeed = 0.15f;
    } else if (t > kWrapEnd) {
        fluidStage.particleSpeed = 0.25f;
    }
    // From here on the square exists only while its own tick's fluid is stepped.
    if (t > kObstaclesFlushed) std::fill_n(fluidGrid.obstacle, kCellCount, 0);
}

void stepParticles(float t, float delta) {
    const float budget = delta / 15.0f * 0.01f;
    const float k = shownScene() == Scene::BlobSection ? 0.2f : 1.0f;
    const bool late = t > kCreditsIn;
    const float g = fluidStage.particleSpeed * k * 0.75f;
    float covered = 0.0f;
    // particleStepScale is at least 0.1, so this loop is short for any sane delta.
    while (covered < budget && fluidStage.particleStepScale > 0.0f) {
        advanceParticles(fluidStage.particleStepScale * g, late, t);
        covered = covered + fluidStage.particleStepScale;
    }
    advanceParticles((budget - (covered - fluidStage.particleStepScale)) * g, late, t);
}

ParticleLayout particleLayoutAt(float t) {
    if (t > kSqueezeStart) return ParticleLayout::Squeezed;
    if (t > kWallStart) return ParticleLayout::Wall;
    return ParticleLayout::ThreeCopies;
}

ParticlePasses particlePassesAt(float t) {
    const ParticleLayout layout = particleLayoutAt(t);
    // The line copies beside the others hide while the camera tilts.
    const int sideBySide = t > kTiltStart && t < kCameraSettled ? 0 : 2;
    switch (layout) {
        case ParticleLayout::Squeezed: return {layout, 1, 1, 1};
        case ParticleLayout::Wall: return {layout, 12, 25, sideBySide};
        case ParticleLayout::ThreeCopies: return {layout, 1, 3, sideBySide};
    }
    return {};
}

int particleDrawCallsAt(float t) {
    const ParticlePasses passes = particlePassesAt(t);
    return passes.rows * passes.columns + passes.lineCopies;
}

TransformList wallPlacementAt(float t) {
    TransformList moves;
    moves.rotate(15.0f * 0.095f * (t - kWallStart) - 15.0f, 0.0f, 1.0f, 0.0f);
    moves.translate(-10.0f, 6.0f, -1.2f - 0.13f * (t - kWallStart));
    return moves;
}

void applyLayoutRules(float t, float delta) {
    switch (particleLayoutAt(t)) {
        case ParticleLayout::Wall: particles.respawnChance = 0.0f; break;
        case ParticleLayout::ThreeCopies: particles.respawnChance = 0.65f; break;
        case ParticleLayout::Squeezed: break;
    }
    lowerLineBudget(t, delta, particleDrawCallsAt(t));
}
