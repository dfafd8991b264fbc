#include "scene/ModelShapes.h"

#include <unordered_map>

#include "model/OgreModelMesh.h"
#include "physics/PhysicsCooking.h"
#include "physics/PhysicsSDK.h"

namespace {

// Each vertex once, numbered in the order the faces first use it, submesh after submesh.
PhysicsTriangleMeshDesc describeFaces(const OgreModelMesh& mesh) {
    PhysicsTriangleMeshDesc desc;
    std::unordered_map<const OgreModelVertex*, std::uint32_t> numbers;
    const auto number = [&](const OgreModelVertex* vertex) {
        const auto [entry, added] = numbers.try_emplace(vertex, static_cast<std::uint32_t>(numbers.size()));
        if (added) {
            const Vector3& p = vertex->position->position;
            desc.points.insert(desc.points.end(), {p.x, p.y, p.z});
        }
        return entry->second;
    };
    for (const auto& [name, submesh] : mesh.submeshes) {
        for (const OgreModelFace* face : submesh->faces) {
            desc.triangles.insert(desc.triangles.end(),
                                  {number(face->v1), number(face->v2), number(face->v3)});
        }
    }
    return desc;
}

} // namespace

PhysicsTriangleMesh* ModelShapes::cookTriangleMesh(PhysicsSDK& sdk, const OgreModelMesh& mesh) {
    MemoryWriteBuffer cooked;
    if (!PhysicsCooking::cookTriangleMesh(describeFaces(mesh), cooked)) {
        return nullptr;
    }
    MemoryReadBuffer stream(cooked.getData());
    return sdk.createTriangleMesh(stream);
}

PhysicsConvexMesh* ModelShapes::cookConvexMesh(PhysicsSDK& sdk, const OgreModelMesh& mesh) {
    MemoryWriteBuffer cooked;
    if (!PhysicsCooking::cookConvexMesh({describeFaces(mesh).points}, cooked)) {
        return nullptr;
    }
    MemoryReadBuffer stream(cooked.getData());
    return sdk.createConvexMesh(stream);
}
