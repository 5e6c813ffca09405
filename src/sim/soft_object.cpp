// The soft body: building it from a model (springs from the edges, closed-surface checks),
// the volume, the spring, pressure and gravity forces, and the integrators.
#include "sim/soft_object.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "base/data_root.h"
#include "base/process_exit.h"

// --- Mesh helpers: spring keys, face edges, face geometry and volume shares ---
namespace {

constexpr float kBounce = -0.8f;
constexpr float kNormalWeight = 0.333f;
constexpr double kVolumeWeight = 0.333;
constexpr float kPressureWeight = 0.33f;
constexpr float kRk4Weight = 0.16666667f;

// Springs are told apart by the places of their ends, in either order, compared exactly.
// The key holds the bit patterns of both end positions in a fixed order (-0 folded into
// +0, so that bit equality is float equality), which turns the search over all springs
// built so far into one hash look-up with the same outcome.
struct EdgeKey {
    std::uint32_t bits[6];
    bool operator==(const EdgeKey&) const = default;
};

struct EdgeKeyHash {
    std::size_t operator()(const EdgeKey& key) const {
        std::uint64_t h = 1469598103934665603ull;
        for (const std::uint32_t b : key.bits) h = (h ^ b) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

std::uint32_t floatBits(float v) { return v == 0.0f ? 0u : std::bit_cast<std::uint32_t>(v); }

bool hasNaN(Vector3 v) { return std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z); }

EdgeKey edgeKey(Vector3 first, Vector3 second) {
    const std::uint32_t a[3] = {floatBits(first.x), floatBits(first.y), floatBits(first.z)};
    const std::uint32_t b[3] = {floatBits(second.x), floatBits(second.y), floatBits(second.z)};
    const bool swap = std::lexicographical_compare(b, b + 3, a, a + 3);
    const std::uint32_t* lo = swap ? b : a;
    const std::uint32_t* hi = swap ? a : b;
    return EdgeKey{{lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]}};
}

// The three edges of a face, in the order the springs take them.
std::array<std::array<std::int32_t, 2>, 3> faceEdges(const SoftFace& face) {
    return {{{face.p0, face.p1}, {face.p1, face.p2}, {face.p2, face.p0}}};
}

// Unit normal and twice the area of the triangle (p0, p1, p2), as the force pass forms them.
void faceGeometry(Vector3 p0, Vector3 p1, Vector3 p2, Vector3& normal, float& area) {
    const Vector3 e1 = p0 - p2;
    const Vector3 e2 = p0 - p1;
    Vector3 n = cross(e2, e1);
    const float len = std::sqrt(dot(n, n));
    area = len;
    if (len != 0.0f) n = n * (1.0f / len);
    normal = n;
}

// One face's signed share of the enclosed volume (in double, as the weight is): the x sum
// of its corners times its normal's x and its area. The shares sum to the volume.
double faceVolumeTerm(const CSoftObject& body, const SoftFace& face, Vector3 normal, float area) {
    const float xs = body.particles[face.p0].position.x + body.particles[face.p1].position.x +
                     body.particles[face.p2].position.x;
    return xs * kVolumeWeight * normal.x * area;
}

// The same share with the face's normal and area taken from where its corners are now.
double currentFaceVolumeTerm(const CSoftObject& body, const SoftFace& face) {
    Vector3 normal;
    float area = 0.0f;
    faceGeometry(body.particles[face.p0].position, body.particles[face.p1].position, body.particles[face.p2].position,
                 normal, area);
    return faceVolumeTerm(body, face, normal, area);
}

AscModel readModelFile(const char* fileName) {
    AscModel model;
    model.fileName = fileName;
    readAscVertices(model);
    readAscFaces(model);
    return model;
}

}  // namespace

// --- Building a body from its model ---
CSoftObject::CSoftObject(Vector3 position, float scale, float mass, float stiffness, float damping, float startPressure)
    : CSoftObject(readModelFile(dataPath(kSoftBodyModelFile).c_str()), position, scale, mass, stiffness, damping,
                  startPressure) {}

CSoftObject::CSoftObject(const AscModel& model, Vector3 position, float scale, float mass, float stiffness,
                         float damping, float startPressure)
    : pressure(startPressure) {
    buildFromModel(model, position, scale, mass, stiffness, damping);
    if (!meshClosed(*this)) {
        exitWithMessage(stderr,
                        "Soft body model %s is not a closed surface: every edge must border exactly two faces.\n",
                        model.fileName.c_str());
    }
    if (!volumeUsable(*this)) {
        exitWithMessage(stderr, "Soft body model %s encloses no volume (flat or open mesh).\n", model.fileName.c_str());
    }
}

void CSoftObject::buildFromModel(const AscModel& model, Vector3 position, float scale, float mass, float stiffness,
                                 float damping) {
    const std::size_t vertexCount = model.vertices.size() / 3;
    particles.reserve(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const Vector3 v{model.vertices[3 * i], model.vertices[3 * i + 1], model.vertices[3 * i + 2]};
        particles.emplace_back(mass, v * scale + position, Vector3{});
    }
    savedParticles = particles;

    const std::size_t faceCount = model.faces.size() / 3;
    faces.reserve(faceCount);
    for (std::size_t i = 0; i < faceCount; ++i) {
        const std::int32_t a = model.faces[3 * i], b = model.faces[3 * i + 1], c = model.faces[3 * i + 2];
        const auto inside = [&](std::int32_t k) { return k >= 0 && static_cast<std::size_t>(k) < vertexCount; };
        if (!inside(a) || !inside(b) || !inside(c)) failObjectFile();
        faces.push_back(SoftFace{a, b, c, Vector3{}, 0.0f});
    }

    std::unordered_map<EdgeKey, std::int32_t, EdgeKeyHash> known;
    known.reserve(faceCount * 2);
    for (const SoftFace& face : faces) {
        for (const auto& end : faceEdges(face)) {
            const Vector3 pa = particles[end[0]].position;
            const Vector3 pb = particles[end[1]].position;
            // A NaN end equals nothing, so such an edge always makes its own spring.
            if (!hasNaN(pa) && !hasNaN(pb)) {
                const bool fresh = known.try_emplace(edgeKey(pa, pb), static_cast<std::int32_t>(springs.size())).second;
                if (!fresh) continue;
            }
            const Vector3 d = pa - pb;
            springs.push_back(SoftSpring{end[0], end[1], stiffness, damping, std::sqrt(dot(d, d))});
        }
    }
}

// --- Volume and the closed-surface checks ---
float meshVolume(const CSoftObject& body) {
    float volume = 0.0f;
    for (const SoftFace& face : body.faces) volume += currentFaceVolumeTerm(body, face);
    return volume;
}

bool meshClosed(const CSoftObject& body) {
    // Edges are matched by the places of their ends, as the springs are, so a seam
    // vertex that repeats a place joins the two sides of the seam.
    std::unordered_map<EdgeKey, int, EdgeKeyHash> uses;
    uses.reserve(body.faces.size() * 2);
    for (const SoftFace& face : body.faces) {
        for (const auto& end : faceEdges(face)) {
            ++uses[edgeKey(body.particles[end[0]].position, body.particles[end[1]].position)];
        }
    }
    return !uses.empty() && std::all_of(uses.begin(), uses.end(), [](const auto& use) { return use.second == 2; });
}

bool volumeUsable(const CSoftObject& body) {
    // The volume is a sum of signed terms; on a flat or open mesh they cancel to (nearly)
    // nothing, so compare against the sum of their sizes rather than against zero alone.
    double magnitude = 0.0;
    for (const SoftFace& face : body.faces) magnitude += std::fabs(currentFaceVolumeTerm(body, face));
    const float volume = meshVolume(body);
    return std::isfinite(volume) && std::isfinite(magnitude) && volume != 0.0f && std::fabs(volume) > 1e-6 * magnitude;
}

void CSoftObject::updateVolume() {
    float sum = 0.0f;
    for (const SoftFace& face : faces) sum += faceVolumeTerm(*this, face, face.normal, face.area);
    volume = sum;
    // A body squashed flat (or blown apart) must not turn the pressure into inf or NaN:
    // without a usable volume the gas pushes with nothing this pass.
    const float inverse = 1.0f / sum;
    invVolume = (sum != 0.0f && std::isfinite(inverse)) ? inverse : 0.0f;
}

// --- Forces ---
void CSoftObject::computeForces() {
    for (SoftParticle& p : particles) p.force = gravity * p.mass;

    for (const SoftSpring& s : springs) {
        SoftParticle& a = particles[s.a];
        SoftParticle& b = particles[s.b];
        const Vector3 d = a.position - b.position;
        const float length = std::sqrt(dot(d, d));
        if (length == 0.0f) continue;
        const float inverse = 1.0f / length;
        const Vector3 dv = a.velocity - b.velocity;
        const float f = (length - s.restLength) * s.stiffness + dot(d, dv) * s.damping * inverse;
        const Vector3 force = d * (inverse * f);
        a.force = a.force - force;
        b.force = b.force + force;
    }

    // Only corners of faces ever gather a normal, so clearing every particle is the same.
    for (SoftParticle& p : particles) p.normal = Vector3{};
    for (SoftFace& face : faces) {
        SoftParticle& c0 = particles[face.p0];
        SoftParticle& c1 = particles[face.p1];
        SoftParticle& c2 = particles[face.p2];
        faceGeometry(c0.position, c1.position, c2.position, face.normal, face.area);
        const Vector3 share = face.normal * kNormalWeight;
        c0.normal = c0.normal + share;
        c1.normal = c1.normal + share;
        c2.normal = c2.normal + share;
    }

    updateVolume();

    for (const SoftFace& face : faces) {
        const float push = face.area * pressure * invVolume * kPressureWeight;
        SoftParticle& c0 = particles[face.p0];
        SoftParticle& c1 = particles[face.p1];
        SoftParticle& c2 = particles[face.p2];
        c0.force = c0.force + c0.normal * push;
        c1.force = c1.force + c1.normal * push;
        c2.force = c2.force + c2.normal * push;
    }
}

// --- Integrators ---
void CSoftObject::simulate(IntegratorKind kind, float dt) {
    if (std::isfinite(dt)) {
        switch (kind) {
            case Euler: stepEuler(dt); break;
            case ImprovedEuler: stepImprovedEuler(dt); break;
            case Midpoint: stepMidpoint(dt); break;
            case RungeKutta4: stepRungeKutta4(dt); break;
            default: break;
        }
    }
    collideAndWrap();
}

void CSoftObject::stepEuler(float dt) {
    for (SoftParticle& p : particles) {
        p.deltaVelocity = p.force * p.invMass * dt;
        p.velocity = p.velocity + p.deltaVelocity;
        p.deltaPosition = p.velocity * dt;
        p.position = p.position + p.deltaPosition;
    }
}

void CSoftObject::stepImprovedEuler(float dt) {
    savedParticles = particles;
    simulate(Euler, dt);  // the predictor, with its own floor and wrap pass
    computeForces();
    const std::size_t n = particles.size();
    for (std::size_t i = 0; i < n; ++i) {
        SoftParticle& p = particles[i];
        const SoftParticle& saved = savedParticles[i];
        p.velocity = saved.velocity + (p.force + saved.force) * (dt * 0.5f) * p.invMass;
        p.position = saved.position + p.velocity * dt;
    }
}

void CSoftObject::integrationStage(Vector3 SoftParticle::*positionIncrement, Vector3 SoftParticle::*velocityIncrement,
                                   float dt, float share) {
    const std::size_t n = particles.size();
    for (std::size_t i = 0; i < n; ++i) {
        SoftParticle& p = particles[i];
        const SoftParticle& saved = savedParticles[i];
        p.*velocityIncrement = p.force * p.invMass * dt;
        p.*positionIncrement = p.velocity * dt;
        p.position = saved.position + p.*positionIncrement * share;
        p.velocity = saved.velocity + p.*velocityIncrement * share;
    }
}

void CSoftObject::stepMidpoint(float dt) {
    savedParticles = particles;
    computeForces();
    integrationStage(&SoftParticle::k1Position, &SoftParticle::k1Velocity, dt, 0.5f);
    computeForces();
    integrationStage(&SoftParticle::k2Position, &SoftParticle::k2Velocity, dt, 1.0f);
}

void CSoftObject::stepRungeKutta4(float dt) {
    savedParticles = particles;
    computeForces();
    integrationStage(&SoftParticle::k1Position, &SoftParticle::k1Velocity, dt, 0.5f);
    computeForces();
    integrationStage(&SoftParticle::k2Position, &SoftParticle::k2Velocity, dt, 0.5f);
    computeForces();
    integrationStage(&SoftParticle::k3Position, &SoftParticle::k3Velocity, dt, 1.0f);
    computeForces();
    const std::size_t n = particles.size();
    for (std::size_t i = 0; i < n; ++i) {
        SoftParticle& p = particles[i];
        const SoftParticle& saved = savedParticles[i];
        p.k4Velocity = p.force * p.invMass * dt;
        p.k4Position = p.velocity * dt;
        p.position = saved.position +
                     (p.k1Position + p.k2Position * 2.0f + p.k3Position * 2.0f + p.k4Position) * kRk4Weight;
        p.velocity = saved.velocity +
                     (p.k1Velocity + p.k2Velocity * 2.0f + p.k3Velocity * 2.0f + p.k4Velocity) * kRk4Weight;
    }
}

// --- Floor bounce and wrap ---
void CSoftObject::collideAndWrap() {
    for (SoftParticle& p : particles) {
        if (p.position.y < FLOOR_Y) {
            p.position.y = FLOOR_Y;
            p.velocity = p.velocity * kBounce;
        }
        if (p.position.x > kWrapLimit) {
            // One wrap per step: the particles after this one wait for the next step.
            for (SoftParticle& q : particles) q.position.x -= kWrapShift;
            return;
        }
    }
}

// --- Poses for drawing ---
void takePose(const CSoftObject& body, SoftBodyPose& pose) {
    pose.positions.resize(body.particles.size());
    pose.normals.resize(body.particles.size());
    for (std::size_t i = 0; i < body.particles.size(); ++i) {
        pose.positions[i] = body.particles[i].position;
        pose.normals[i] = body.particles[i].normal;
    }
}

void blendPoses(const SoftBodyPose& before, const SoftBodyPose& after, float share, SoftBodyPose& out) {
    out.positions.resize(after.positions.size());
    out.normals.resize(after.normals.size());
    const std::size_t n = after.positions.size();
    bool wrapped = before.positions.size() != n || before.normals.size() != n || after.normals.size() != n;
    // The whole body moves back by kWrapShift at a wrap; no step of the springs comes near half of it.
    for (std::size_t i = 0; i < n && !wrapped; ++i) {
        wrapped = std::fabs(after.positions[i].x - before.positions[i].x) > 0.5f * kWrapShift;
    }
    if (wrapped || !(share < 1.0f)) {
        std::copy(after.positions.begin(), after.positions.end(), out.positions.begin());
        std::copy(after.normals.begin(), after.normals.end(), out.normals.begin());
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        out.positions[i] = blendBetween(before.positions[i], after.positions[i], share);
        out.normals[i] = blendBetween(before.normals[i], after.normals[i], share);
    }
}
