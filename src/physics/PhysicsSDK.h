#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "physics/MemoryReadBuffer.h"
#include "physics/PhysicsConvexMesh.h"
#include "physics/PhysicsScene.h"
#include "physics/PhysicsSceneDesc.h"
#include "physics/PhysicsTriangleMesh.h"

// The physics engine: owns the scenes and the cooked meshes until released.
// Scenes and meshes may be created from level-loading threads.
class PhysicsSDK {
public:
    PhysicsSDK();
    ~PhysicsSDK();
    PhysicsSDK(const PhysicsSDK&) = delete;
    PhysicsSDK& operator=(const PhysicsSDK&) = delete;

    // SkinWidth is the margin of convex hulls made afterwards; MaxAngularVelocity
    // the default of bodies made afterwards (7 rad/s). False for a negative value.
    bool setParameter(PhysicsParameter parameter, float value);
    float getParameter(PhysicsParameter parameter) const;

    // Null for a hardware scene (there is no physics hardware) or a bad descriptor.
    PhysicsScene* createScene(const PhysicsSceneDesc& desc);
    void releaseScene(PhysicsScene& scene);
    std::size_t getNbScenes() const {
        const std::lock_guard lock(mutex);
        return scenes.size();
    }

    // Null when the stream holds no cooked mesh of that kind.
    PhysicsTriangleMesh* createTriangleMesh(MemoryReadBuffer& stream);
    PhysicsConvexMesh* createConvexMesh(MemoryReadBuffer& stream);

    // This engine has no remote debugger: logs and returns false.
    bool connectRemoteDebugger(const std::string& host, int port);

private:
    mutable std::mutex mutex;
    float skinWidth = 0.025f;
    float maxAngularVelocity = 7.0f;
    std::vector<std::unique_ptr<PhysicsTriangleMesh>> triangleMeshes;
    std::vector<std::unique_ptr<PhysicsConvexMesh>> convexMeshes;
    std::vector<std::unique_ptr<PhysicsScene>> scenes;
};
