#include "physics/PhysicsConvexMesh.h"

#include <LinearMath/btVector3.h>
#include <cmath>

#include "physics/PhysicsCooking.h"

std::unique_ptr<PhysicsConvexMesh> PhysicsConvexMesh::load(MemoryReadBuffer& stream) {
    PhysicsCooking::CookedMesh mesh;
    if (!PhysicsCooking::readCookedMesh(stream, PhysicsCooking::MeshKind::ConvexHull, mesh)) {
        return nullptr;
    }
    return std::unique_ptr<PhysicsConvexMesh>(new PhysicsConvexMesh(std::move(mesh.points), mesh.triangles));
}

// The volume is the sum of the signed tetrahedra from the origin to each face.
PhysicsConvexMesh::PhysicsConvexMesh(std::vector<float> hullPoints,
                                     const std::vector<std::uint32_t>& triangles)
    : points(std::move(hullPoints)) {
    const auto vertex = [this](std::uint32_t i) {
        return btVector3(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
    };
    double sixfoldVolume = 0.0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
        sixfoldVolume += vertex(triangles[t]).dot(vertex(triangles[t + 1]).cross(vertex(triangles[t + 2])));
    }
    volume = static_cast<float>(std::abs(sixfoldVolume) / 6.0);
}
