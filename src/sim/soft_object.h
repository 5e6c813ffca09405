// Pressure-model soft bodies: every vertex of a closed triangle mesh is a point mass,
// every distinct edge a damped spring, and an enclosed gas pushes every face outwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/asc_reader.h"
#include "sim/vector3.h"

inline constexpr float FLOOR_Y = -4.5f;
// A body whose vertex passes kWrapLimit along x moves back by kWrapShift, all of it at once.
inline constexpr float kWrapLimit = 6.0f;
inline constexpr float kWrapShift = 6.0f;

struct SoftParticle {
    float mass = 0.0f;
    float invMass = 0.0f;
    Vector3 position;
    Vector3 velocity;
    Vector3 force;
    Vector3 normal;  // 0.333 times the sum of the unit normals of the faces around it
    Vector3 deltaPosition, deltaVelocity;
    Vector3 k1Position, k1Velocity, k2Position, k2Velocity;
    Vector3 k3Position, k3Velocity, k4Position, k4Velocity;

    SoftParticle() = default;
    SoftParticle(float particleMass, Vector3 startPosition, Vector3 startVelocity)
        : mass(particleMass),
          invMass(particleMass != 0.0f ? 1.0f / particleMass : 0.0f),
          position(startPosition),
          velocity(startVelocity) {}
};

// Ends are indices into the body's particle list, which never changes size after building.
struct SoftSpring {
    std::int32_t a = 0;
    std::int32_t b = 0;
    float stiffness = 0.0f;
    float damping = 0.0f;
    float restLength = 0.0f;
};

struct SoftFace {
    std::int32_t p0 = 0, p1 = 0, p2 = 0;  // corners A, B, C in model order
    Vector3 normal;                       // unit normal, recomputed by every force pass
    float area = 0.0f;                    // twice the triangle's area
};

// Fixed underlying type: any other value is a valid "no integration" request.
enum IntegratorKind : int { Euler = 0, ImprovedEuler = 1, Midpoint = 2, RungeKutta4 = 3 };

inline constexpr const char* kSoftBodyModelFile = "dat/Objekt3.asc";

class CSoftObject {
public:
    // A body without particles, springs or faces: nothing to step or draw.
    CSoftObject() = default;
    // Reads "dat/Objekt3.asc" and builds the body from it.
    CSoftObject(Vector3 position, float scale, float mass, float stiffness, float damping, float pressure);
    // Builds from a model already read; model.fileName names it in messages.
    CSoftObject(const AscModel& model, Vector3 position, float scale, float mass, float stiffness, float damping,
                float pressure);

    // One step of length dt, then the floor collision and the wrap along x.
    void simulate(IntegratorKind kind, float dt);
    // Forces, face normals and areas, vertex normals, volume.
    void computeForces();
    void updateVolume();

    Vector3 gravity;
    float volume = 0.0f;
    float invVolume = 0.0f;
    float pressure = 0.0f;
    std::vector<SoftParticle> savedParticles;
    std::vector<SoftParticle> particles;
    std::vector<SoftSpring> springs;
    std::vector<SoftFace> faces;

private:
    void buildFromModel(const AscModel& model, Vector3 position, float scale, float mass, float stiffness,
                        float damping);
    void stepEuler(float dt);
    void stepImprovedEuler(float dt);
    // One Runge-Kutta stage from the forces just computed: the increments go into the
    // given fields and the state moves to the saved state plus share times them.
    void integrationStage(Vector3 SoftParticle::*positionIncrement, Vector3 SoftParticle::*velocityIncrement, float dt,
                          float share);
    void stepMidpoint(float dt);
    void stepRungeKutta4(float dt);
    void collideAndWrap();
};

// The vertices a body is drawn with, one position and normal a particle: the body as a
// tick left it, or between two ticks.
struct SoftBodyPose {
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
};
// The pose the body is in now (the vectors keep their storage from call to call).
void takePose(const CSoftObject& body, SoftBodyPose& pose);
// The pose at `share` of the way from `before` to `after` (0..1), exactly `after` at 1. A
// body that wrapped along x between them, or poses of other sizes, give `after`.
void blendPoses(const SoftBodyPose& before, const SoftBodyPose& after, float share, SoftBodyPose& out);

// Draws the body in the given pose: its floor shadow, then its lit surface. Nothing when
// the pose does not have one vertex per particle. Defined in soft_object_gl.cpp, which only
// programs with a display link.
void paintSoftObject(const CSoftObject& body, const SoftBodyPose& pose);

// Whether the faces form a closed surface: every edge borders exactly two faces. An open
// mesh has no inside for the gas to fill.
bool meshClosed(const CSoftObject& body);
// The body's volume measure as the force pass computes it, from the positions alone, and
// whether it is usable: finite and not lost in the cancellation of a flat or open mesh.
float meshVolume(const CSoftObject& body);
bool volumeUsable(const CSoftObject& body);
