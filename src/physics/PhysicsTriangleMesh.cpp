#include "physics/PhysicsTriangleMesh.h"

#include <BulletCollision/CollisionDispatch/btInternalEdgeUtility.h>
#include <BulletCollision/CollisionShapes/btBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btTriangleIndexVertexArray.h>
#include <BulletCollision/CollisionShapes/btTriangleInfoMap.h>

#include "physics/PhysicsCooking.h"

std::unique_ptr<PhysicsTriangleMesh> PhysicsTriangleMesh::load(MemoryReadBuffer& stream) {
    PhysicsCooking::CookedMesh mesh;
    if (!PhysicsCooking::readCookedMesh(stream, PhysicsCooking::MeshKind::Triangles, mesh)) {
        return nullptr;
    }
    return std::unique_ptr<PhysicsTriangleMesh>(
        new PhysicsTriangleMesh(std::move(mesh.points), std::move(mesh.triangles)));
}

PhysicsTriangleMesh::PhysicsTriangleMesh(std::vector<float> meshPoints,
                                         std::vector<std::uint32_t> meshIndices)
    : points(std::move(meshPoints)), indices(std::move(meshIndices)) {
    btIndexedMesh part;
    part.m_numTriangles = static_cast<int>(getTriangleCount());
    part.m_triangleIndexBase = reinterpret_cast<const unsigned char*>(indices.data());
    part.m_triangleIndexStride = 3 * sizeof(std::uint32_t);
    part.m_numVertices = static_cast<int>(getVertexCount());
    part.m_vertexBase = reinterpret_cast<const unsigned char*>(points.data());
    part.m_vertexStride = 3 * sizeof(float);
    part.m_indexType = PHY_INTEGER;
    part.m_vertexType = PHY_FLOAT;
    vertexArray = std::make_unique<btTriangleIndexVertexArray>();
    vertexArray->addIndexedMesh(part, PHY_INTEGER);
    shape = std::make_unique<btBvhTriangleMeshShape>(vertexArray.get(), true);
    edgeInfo = std::make_unique<btTriangleInfoMap>();
    btGenerateInternalEdgeInfo(shape.get(), edgeInfo.get());
}

PhysicsTriangleMesh::~PhysicsTriangleMesh() = default;
