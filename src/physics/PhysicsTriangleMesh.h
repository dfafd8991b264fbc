#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "physics/MemoryReadBuffer.h"

class btBvhTriangleMeshShape;
class btTriangleIndexVertexArray;
struct btTriangleInfoMap;

// A cooked static triangle mesh, shared by the shapes made from it. It keeps
// the adjacency of its triangles so that bodies slide over inner edges
// without catching on them.
class PhysicsTriangleMesh {
public:
    // Null when the stream holds no cooked triangle mesh.
    static std::unique_ptr<PhysicsTriangleMesh> load(MemoryReadBuffer& stream);
    ~PhysicsTriangleMesh();

    std::size_t getTriangleCount() const { return indices.size() / 3; }
    std::size_t getVertexCount() const { return points.size() / 3; }

    btBvhTriangleMeshShape& getCollisionShape() const { return *shape; }

private:
    PhysicsTriangleMesh(std::vector<float> points, std::vector<std::uint32_t> indices);

    std::vector<float> points;
    std::vector<std::uint32_t> indices;
    std::unique_ptr<btTriangleIndexVertexArray> vertexArray;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
    std::unique_ptr<btTriangleInfoMap> edgeInfo;
};
