#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "physics/MemoryReadBuffer.h"

// A cooked convex hull, shared by the shapes made from it.
class PhysicsConvexMesh {
public:
    // Null when the stream holds no cooked convex mesh.
    static std::unique_ptr<PhysicsConvexMesh> load(MemoryReadBuffer& stream);

    const std::vector<float>& getPoints() const { return points; }
    std::size_t getVertexCount() const { return points.size() / 3; }
    float getVolume() const { return volume; }

private:
    PhysicsConvexMesh(std::vector<float> points, const std::vector<std::uint32_t>& triangles);

    std::vector<float> points;
    float volume = 0.0f;
};
