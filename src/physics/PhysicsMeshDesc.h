#pragma once

#include <cstdint>
#include <vector>

// Vertex positions as x, y, z floats; triangles as three 32-bit vertex indices.
struct PhysicsTriangleMeshDesc {
    std::vector<float> points;
    std::vector<std::uint32_t> triangles;
};

// Any cloud of points; cooking keeps its convex hull.
struct PhysicsConvexMeshDesc {
    std::vector<float> points;
};
