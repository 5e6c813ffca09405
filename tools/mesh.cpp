// The soft-body model: a slightly irregular blob, a geodesic sphere of frequency 4
// (162 vertices, 320 triangles) with smooth deterministic bumps, sitting on y = 0 with
// radius about 1. Every triangle is wound so that its normal by the right-hand rule of
// (A, B, C) points outwards. Written in the 3D Studio ASCII export form.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "assets.h"

namespace {

struct Point {
    double x, y, z;
};

Point normalised(Point p) {
    const double len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return {p.x / len, p.y / len, p.z / len};
}

// Radius of the blob in unit direction d: a sphere with two low ripples on it.
double blobRadius(Point d) {
    return 1.0 + 0.07 * std::sin(3.1 * d.x + 1.3) * std::sin(2.7 * d.y + 0.4) + 0.05 * std::cos(4.3 * d.z + 2.0 * d.x) -
           0.04 * d.y * d.y;
}

constexpr double kCentreHeight = 1.0;  // the blob rests on y = 0 before it is placed
constexpr int kFrequency = 4;          // 162 vertices, 320 triangles: light enough for the gas to hold it up

struct Mesh {
    std::vector<Point> directions;
    std::vector<std::array<int, 3>> triangles;
};

Mesh icosahedron() {
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    Mesh mesh;
    const Point corners[12] = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
                               {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (const Point& c : corners) mesh.directions.push_back(normalised(c));
    mesh.triangles = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                      {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                      {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    return mesh;
}

// Splits every face into frequency^2 triangles on a regular grid (a geodesic sphere of
// 10 f^2 + 2 vertices). Grid points on shared edges are made once, found again by their
// rounded place, so the surface stays closed.
Mesh geodesic(const Mesh& base, int frequency) {
    Mesh mesh;
    std::map<std::array<long long, 3>, int> known;
    const auto vertexAt = [&](Point p) {
        const Point d = normalised(p);
        const std::array<long long, 3> key = {std::llround(d.x * 1e9), std::llround(d.y * 1e9),
                                              std::llround(d.z * 1e9)};
        const auto [slot, fresh] = known.try_emplace(key, static_cast<int>(mesh.directions.size()));
        if (fresh) mesh.directions.push_back(d);
        return slot->second;
    };
    const double n = frequency;
    for (const auto& [ia, ib, ic] : base.triangles) {
        const Point& a = base.directions[ia];
        const Point& b = base.directions[ib];
        const Point& c = base.directions[ic];
        // Grid point (i, j): i steps towards b, j towards c.
        const auto grid = [&](int i, int j) {
            return vertexAt({a.x + (b.x - a.x) * i / n + (c.x - a.x) * j / n,
                             a.y + (b.y - a.y) * i / n + (c.y - a.y) * j / n,
                             a.z + (b.z - a.z) * i / n + (c.z - a.z) * j / n});
        };
        for (int j = 0; j < frequency; ++j) {
            for (int i = 0; i + j < frequency; ++i) {
                mesh.triangles.push_back({grid(i, j), grid(i + 1, j), grid(i, j + 1)});
                if (i + j + 1 < frequency)
                    mesh.triangles.push_back({grid(i + 1, j), grid(i + 1, j + 1), grid(i, j + 1)});
            }
        }
    }
    return mesh;
}

}  // namespace

void generateMesh(const std::filesystem::path& runDir) {
    Mesh mesh = geodesic(icosahedron(), kFrequency);

    std::vector<Point> vertices;
    vertices.reserve(mesh.directions.size());
    for (const Point& d : mesh.directions) {
        const double r = blobRadius(d);
        vertices.push_back({d.x * r, d.y * r + kCentreHeight, d.z * r});
    }
    // The blob is star-shaped about its centre, so outward means away from the centre.
    for (auto& tri : mesh.triangles) {
        const Point& a = vertices[tri[0]];
        const Point& b = vertices[tri[1]];
        const Point& c = vertices[tri[2]];
        const Point u{b.x - a.x, b.y - a.y, b.z - a.z};
        const Point v{c.x - a.x, c.y - a.y, c.z - a.z};
        const Point n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        const Point m{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3 - kCentreHeight, (a.z + b.z + c.z) / 3};
        if (n.x * m.x + n.y * m.y + n.z * m.z < 0) std::swap(tri[1], tri[2]);
    }

    const std::filesystem::path path = runDir / "dat" / "Objekt3.asc";
    std::filesystem::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.string().c_str(), "w");
    if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
    std::fprintf(file, "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\n\n");
    std::fprintf(file, "Named object: \"Blob\"\n");
    std::fprintf(file, "Tri-mesh, Vertices: %zu     Faces: %zu\n", vertices.size(), mesh.triangles.size());
    std::fprintf(file, "Vertex List:\n");
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Point& p = vertices[i];
        std::fprintf(file, "Vertex %zu:  X:%.6f     Y:%.6f     Z:%.6f\n", i, p.x, p.y, p.z);
    }
    std::fprintf(file, "Face list:\n");
    for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
        const auto& [a, b, c] = mesh.triangles[i];
        std::fprintf(file, "Face %zu:    A:%d B:%d C:%d AB:1 BC:1 CA:1\n", i, a, b, c);
        std::fprintf(file, "Smoothing:  1\n");
    }
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write " + path.string());
}
