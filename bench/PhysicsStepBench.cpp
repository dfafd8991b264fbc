#include <benchmark/benchmark.h>

#include <cmath>

#include "physics/PhysicsCooking.h"
#include "physics/PhysicsSDK.h"

// One 1/60 s step of a level-sized scene: a gently rolling terrain mesh of
// 20,000 triangles, the player's ball driven by torque and 50 loose crates.

namespace {

constexpr int kCells = 100; // 100 x 100 cells, two triangles each
constexpr float kCellSize = 2.0f;

PhysicsTriangleMesh* cookTerrain(PhysicsSDK& sdk) {
    PhysicsTriangleMeshDesc desc;
    const float origin = -0.5f * kCells * kCellSize;
    for (int z = 0; z <= kCells; ++z) {
        for (int x = 0; x <= kCells; ++x) {
            const float height = 0.5f * std::sin(0.15f * x) * std::cos(0.1f * z);
            desc.points.insert(desc.points.end(), {origin + x * kCellSize, height, origin + z * kCellSize});
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

PhysicsActor* addBody(PhysicsScene& scene, const PhysicsShapeDesc& shape, const PhysicsVec3& position) {
    PhysicsBodyDesc body;
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    actor.body = &body;
    actor.density = 1.0f;
    actor.globalPose.position = position;
    return scene.createActor(actor);
}

void PhysicsStep(benchmark::State& state) {
    PhysicsSDK sdk;
    PhysicsSceneDesc sceneDesc;
    sceneDesc.gravity = {0.0f, -19.62f, 0.0f};
    PhysicsScene& scene = *sdk.createScene(sceneDesc);
    scene.setActorGroupPairFlags(0, 0, 0x7FE);

    PhysicsShapeDesc terrain;
    terrain.type = PhysicsShapeType::TriangleMesh;
    terrain.triangleMesh = cookTerrain(sdk);
    PhysicsActorDesc level;
    level.shapes.push_back(terrain);
    scene.createActor(level);

    PhysicsShapeDesc ballShape;
    ballShape.type = PhysicsShapeType::Sphere;
    PhysicsActor* ball = addBody(scene, ballShape, {0.0f, 2.0f, 0.0f});
    ball->setGroup(1);
    scene.setActorGroupPairFlags(1, 0, 0x7FE);

    PhysicsShapeDesc crate;
    crate.dimensions = {0.5f, 0.5f, 0.5f};
    for (int i = 0; i < 50; ++i) {
        addBody(scene, crate, {-20.0f + 4.0f * (i % 10), 3.0f + (i / 10), -20.0f + 8.0f * (i / 10)});
    }

    const float torque = ball->getMass() * 1000.0f / 60.0f;
    for (auto _ : state) {
        ball->addTorque({-torque, 0.0f, 0.2f * torque});
        scene.simulate(1.0f / 60.0f);
        scene.flushStream();
        scene.fetchResults();
    }
    state.SetLabel("mean time of one 1/60 s step");
}

} // namespace

BENCHMARK(PhysicsStep)->Unit(benchmark::kMillisecond)->Iterations(600);

BENCHMARK_MAIN();
