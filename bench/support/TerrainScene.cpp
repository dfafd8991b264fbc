#include "TerrainScene.h"

#include <cmath>
#include <cstdint>

#include "physics/PhysicsCooking.h"

namespace {

constexpr int kCells = 100; // 100 x 100 cells, two triangles each
constexpr float kCellSize = 2.0f;
constexpr float kOrigin = -0.5f * kCells * kCellSize;

} // namespace

TerrainScene::TerrainScene() {
    PhysicsSceneDesc sceneDesc;
    sceneDesc.gravity = {0.0f, -19.62f, 0.0f};
    physicsScene = sdk.createScene(sceneDesc);
    physicsScene->setActorGroupPairFlags(0, 0, 0x7FE);

    PhysicsShapeDesc terrain;
    terrain.type = PhysicsShapeType::TriangleMesh;
    terrain.triangleMesh = cookTerrain();
    PhysicsActorDesc level;
    level.shapes.push_back(terrain);
    physicsScene->createActor(level);

    PhysicsShapeDesc ballShape;
    ballShape.type = PhysicsShapeType::Sphere;
    ballActor = addBody(ballShape, {0.0f, 2.0f, 0.0f});
    ballActor->setGroup(1);
    physicsScene->setActorGroupPairFlags(1, 0, 0x7FE);

    PhysicsShapeDesc crate;
    crate.dimensions = {0.5f, 0.5f, 0.5f};
    for (int i = 0; i < 50; ++i) {
        addBody(crate, {-20.0f + 4.0f * (i % 10), 3.0f + (i / 10), -20.0f + 8.0f * (i / 10)});
    }
    torque = ballActor->getMass() * 1000.0f / 60.0f;
}

float TerrainScene::height(float x, float z) {
    return 0.5f * std::sin(0.15f * (x - kOrigin) / kCellSize) * std::cos(0.1f * (z - kOrigin) / kCellSize);
}

void TerrainScene::step() {
    ballActor->addTorque({-torque, 0.0f, 0.2f * torque});
    physicsScene->simulate(1.0f / 60.0f);
    physicsScene->flushStream();
    physicsScene->fetchResults();
}

PhysicsTriangleMesh* TerrainScene::cookTerrain() {
    PhysicsTriangleMeshDesc desc;
    for (int z = 0; z <= kCells; ++z) {
        for (int x = 0; x <= kCells; ++x) {
            const float px = kOrigin + x * kCellSize;
            const float pz = kOrigin + z * kCellSize;
            desc.points.insert(desc.points.end(), {px, height(px, pz), pz});
        }
    }
    const auto vertex = [](int x, int z) { return static_cast<std::uint32_t>(z * (kCells + 1) + x); };
    for (int z = 0; z < kCells; ++z) {
        for (int x = 0; x < kCells; ++x) {
            desc.triangles.insert(desc.triangles.end(),
                                  {vertex(x, z), vertex(x, z + 1), vertex(x + 1, z + 1)});
            desc.triangles.insert(desc.triangles.end(),
                                  {vertex(x, z), vertex(x + 1, z + 1), vertex(x + 1, z)});
        }
    }
    MemoryWriteBuffer cooked;
    PhysicsCooking::cookTriangleMesh(desc, cooked);
    MemoryReadBuffer stream(cooked.getData());
    return sdk.createTriangleMesh(stream);
}

PhysicsActor* TerrainScene::addBody(const PhysicsShapeDesc& shape, const PhysicsVec3& position) {
    PhysicsBodyDesc body;
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    actor.body = &body;
    actor.density = 1.0f;
    actor.globalPose.position = position;
    return physicsScene->createActor(actor);
}
