#include "physics/PhysicsSDK.h"

#include <cmath>

#include "core/Log.h"
#include "physics/ContactMaterialMixer.h"

VORN_FILE_LOGGER("PhysicsSDK")

namespace {

bool isUsable(const PhysicsSceneDesc& desc) {
    const PhysicsVec3& g = desc.gravity;
    return desc.substep > 0.0f && desc.maxTimestep >= desc.substep && desc.maxIter > 0 &&
           std::isfinite(g.x) && std::isfinite(g.y) && std::isfinite(g.z);
}

} // namespace

PhysicsSDK::PhysicsSDK() {
    ContactMaterialMixer::install();
}

// Scenes go first: their shapes refer to the meshes.
PhysicsSDK::~PhysicsSDK() {
    scenes.clear();
}

bool PhysicsSDK::setParameter(PhysicsParameter parameter, float value) {
    if (!(value >= 0.0f)) {
        LOG_WARN("Physics parameter " << static_cast<int>(parameter) << " refused the value " << value);
        return false;
    }
    const std::lock_guard lock(mutex);
    (parameter == PhysicsParameter::SkinWidth ? skinWidth : maxAngularVelocity) = value;
    return true;
}

float PhysicsSDK::getParameter(PhysicsParameter parameter) const {
    const std::lock_guard lock(mutex);
    return parameter == PhysicsParameter::SkinWidth ? skinWidth : maxAngularVelocity;
}

PhysicsScene* PhysicsSDK::createScene(const PhysicsSceneDesc& desc) {
    if (desc.simType == PhysicsSimulationType::Hardware) {
        LOG_DEBUG("No physics hardware; hardware scenes are not available");
        return nullptr;
    }
    if (!isUsable(desc)) {
        LOG_ERROR("Scene descriptor refused");
        return nullptr;
    }
    const std::lock_guard lock(mutex);
    scenes.push_back(std::make_unique<PhysicsScene>(desc, skinWidth, maxAngularVelocity));
    return scenes.back().get();
}

void PhysicsSDK::releaseScene(PhysicsScene& scene) {
    const std::lock_guard lock(mutex);
    std::erase_if(scenes, [&scene](const auto& owned) { return owned.get() == &scene; });
}

PhysicsTriangleMesh* PhysicsSDK::createTriangleMesh(MemoryReadBuffer& stream) {
    auto mesh = PhysicsTriangleMesh::load(stream);
    if (!mesh) {
        LOG_ERROR("The stream holds no cooked triangle mesh");
        return nullptr;
    }
    const std::lock_guard lock(mutex);
    triangleMeshes.push_back(std::move(mesh));
    return triangleMeshes.back().get();
}

PhysicsConvexMesh* PhysicsSDK::createConvexMesh(MemoryReadBuffer& stream) {
    auto mesh = PhysicsConvexMesh::load(stream);
    if (!mesh) {
        LOG_ERROR("The stream holds no cooked convex mesh");
        return nullptr;
    }
    const std::lock_guard lock(mutex);
    convexMeshes.push_back(std::move(mesh));
    return convexMeshes.back().get();
}

bool PhysicsSDK::connectRemoteDebugger(const std::string& host, int port) {
    LOG_WARN("No remote physics debugger can be connected (" << host << ":" << port << ")");
    return false;
}
