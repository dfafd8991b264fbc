#include "physics/PhysicsCooking.h"

#include <LinearMath/btConvexHullComputer.h>
#include <algorithm>
#include <cmath>

#include "core/Log.h"

VORN_FILE_LOGGER("PhysicsCooking")

namespace {

bool isWellFormed(const std::vector<float>& points, const std::vector<std::uint32_t>& triangles) {
    if (points.empty() || points.size() % 3 != 0 || triangles.empty() || triangles.size() % 3 != 0) {
        return false;
    }
    const auto vertexCount = points.size() / 3;
    const bool indicesInRange = std::all_of(triangles.begin(), triangles.end(),
                                            [vertexCount](std::uint32_t i) { return i < vertexCount; });
    const bool finite = std::all_of(points.begin(), points.end(), [](float v) { return std::isfinite(v); });
    return indicesInRange && finite;
}

void writeMesh(PhysicsCooking::MeshKind kind, const PhysicsCooking::CookedMesh& mesh,
               MemoryWriteBuffer& stream) {
    stream.storeDword(static_cast<std::uint32_t>(kind));
    stream.storeDword(static_cast<std::uint32_t>(mesh.points.size()));
    stream.storeBuffer(mesh.points.data(), mesh.points.size() * sizeof(float));
    stream.storeDword(static_cast<std::uint32_t>(mesh.triangles.size()));
    stream.storeBuffer(mesh.triangles.data(), mesh.triangles.size() * sizeof(std::uint32_t));
}

template <typename T> bool readArray(MemoryReadBuffer& stream, std::vector<T>& values) {
    std::uint32_t count = 0;
    if (!stream.readDword(count) || count > stream.remaining() / sizeof(T)) {
        return false;
    }
    values.resize(count);
    return stream.readBuffer(values.data(), count * sizeof(T));
}

// Splits every hull face, a polygon, into a fan of triangles.
PhysicsCooking::CookedMesh hullMesh(const btConvexHullComputer& hull) {
    PhysicsCooking::CookedMesh mesh;
    for (int i = 0; i < hull.vertices.size(); ++i) {
        mesh.points.insert(mesh.points.end(),
                           {hull.vertices[i].x(), hull.vertices[i].y(), hull.vertices[i].z()});
    }
    for (int face = 0; face < hull.faces.size(); ++face) {
        const btConvexHullComputer::Edge* first = &hull.edges[hull.faces[face]];
        const int a = first->getSourceVertex();
        int b = first->getTargetVertex();
        const btConvexHullComputer::Edge* edge = first->getNextEdgeOfFace();
        int c = edge->getTargetVertex();
        while (c != a) {
            mesh.triangles.insert(mesh.triangles.end(),
                                  {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b),
                                   static_cast<std::uint32_t>(c)});
            edge = edge->getNextEdgeOfFace();
            b = c;
            c = edge->getTargetVertex();
        }
    }
    return mesh;
}

} // namespace

bool PhysicsCooking::cookTriangleMesh(const PhysicsTriangleMeshDesc& desc, MemoryWriteBuffer& stream) {
    if (!isWellFormed(desc.points, desc.triangles)) {
        LOG_ERROR("Triangle mesh of " << desc.points.size() / 3 << " vertices and "
                                      << desc.triangles.size() / 3 << " triangles cannot be cooked");
        return false;
    }
    writeMesh(MeshKind::Triangles, {desc.points, desc.triangles}, stream);
    return true;
}

bool PhysicsCooking::cookConvexMesh(const PhysicsConvexMeshDesc& desc, MemoryWriteBuffer& stream) {
    const int count = static_cast<int>(desc.points.size() / 3);
    const bool finite =
        std::all_of(desc.points.begin(), desc.points.end(), [](float v) { return std::isfinite(v); });
    btConvexHullComputer hull;
    // A hull needs four faces at least; fewer means the points are flat.
    if (count < 4 || !finite || hull.compute(desc.points.data(), 3 * sizeof(float), count, 0, 0) < 0 ||
        hull.faces.size() < 4) {
        LOG_ERROR("Convex mesh of " << count << " points has no volume and cannot be cooked");
        return false;
    }
    writeMesh(MeshKind::ConvexHull, hullMesh(hull), stream);
    return true;
}

bool PhysicsCooking::readCookedMesh(MemoryReadBuffer& stream, MeshKind kind, CookedMesh& mesh) {
    std::uint32_t magic = 0;
    if (!stream.readDword(magic) || magic != static_cast<std::uint32_t>(kind)) {
        return false;
    }
    return readArray(stream, mesh.points) && readArray(stream, mesh.triangles) &&
           isWellFormed(mesh.points, mesh.triangles);
}
