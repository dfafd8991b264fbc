#pragma once

#include <cstdint>
#include <vector>

#include "physics/MemoryReadBuffer.h"
#include "physics/MemoryWriteBuffer.h"
#include "physics/PhysicsMeshDesc.h"

// Turns mesh descriptions into the byte streams the SDK creates meshes from.
// Cooking fails on meshes the engine could not use: no triangles, indices out
// of range, coordinates that are not finite, a hull without volume.
class PhysicsCooking {
public:
    enum class MeshKind : std::uint32_t { Triangles = 0x49525456, ConvexHull = 0x58564356 };

    struct CookedMesh {
        std::vector<float> points;
        std::vector<std::uint32_t> triangles;
    };

    static bool cookTriangleMesh(const PhysicsTriangleMeshDesc& desc, MemoryWriteBuffer& stream);
    static bool cookConvexMesh(const PhysicsConvexMeshDesc& desc, MemoryWriteBuffer& stream);

    // Reads one cooked mesh of the given kind; false on a stream that is not one.
    static bool readCookedMesh(MemoryReadBuffer& stream, MeshKind kind, CookedMesh& mesh);
};
