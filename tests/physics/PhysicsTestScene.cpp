#include "PhysicsTestScene.h"

#include <algorithm>

#include "physics/PhysicsCooking.h"

PhysicsTestScene::PhysicsTestScene() {
    PhysicsSceneDesc desc;
    desc.gravity = {0.0f, -19.62f, 0.0f};
    scene = sdk.createScene(desc);
}

PhysicsActor* PhysicsTestScene::addBox(const PhysicsVec3& position, const PhysicsVec3& halfExtents,
                                       float density, std::uint16_t shapeGroup, std::uint32_t shapeFlags) {
    PhysicsShapeDesc shape;
    shape.type = PhysicsShapeType::Box;
    shape.dimensions = halfExtents;
    shape.group = shapeGroup;
    shape.flags = shapeFlags;
    PhysicsBodyDesc body;
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    actor.globalPose.position = position;
    if (density > 0.0f) {
        actor.body = &body;
        actor.density = density;
    }
    return scene->createActor(actor);
}

PhysicsActor* PhysicsTestScene::addBall(const PhysicsVec3& position, float radius, std::uint16_t shapeGroup,
                                        std::uint32_t shapeFlags) {
    PhysicsShapeDesc shape;
    shape.type = PhysicsShapeType::Sphere;
    shape.radius = radius;
    shape.group = shapeGroup;
    shape.flags = shapeFlags;
    PhysicsBodyDesc body;
    body.mass = 1.0f;
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    actor.body = &body;
    actor.globalPose.position = position;
    return scene->createActor(actor);
}

PhysicsTriangleMesh* PhysicsTestScene::cookGrid(float minX, float minZ, int cellsX, int cellsZ,
                                                float cellSize, float y) {
    PhysicsTriangleMeshDesc desc;
    for (int z = 0; z <= cellsZ; ++z) {
        for (int x = 0; x <= cellsX; ++x) {
            desc.points.insert(desc.points.end(), {minX + x * cellSize, y, minZ + z * cellSize});
        }
    }
    const auto vertex = [cellsX](int x, int z) { return static_cast<std::uint32_t>(z * (cellsX + 1) + x); };
    for (int z = 0; z < cellsZ; ++z) {
        for (int x = 0; x < cellsX; ++x) {
            // Counter-clockwise seen from above, so the faces point up.
            desc.triangles.insert(desc.triangles.end(),
                                  {vertex(x, z), vertex(x, z + 1), vertex(x + 1, z + 1)});
            desc.triangles.insert(desc.triangles.end(),
                                  {vertex(x, z), vertex(x + 1, z + 1), vertex(x + 1, z)});
        }
    }
    MemoryWriteBuffer cooked;
    if (!PhysicsCooking::cookTriangleMesh(desc, cooked)) {
        return nullptr;
    }
    MemoryReadBuffer stream(cooked.getData());
    return sdk.createTriangleMesh(stream);
}

PhysicsActor* PhysicsTestScene::addTessellatedFloor(float minX, float minZ, int cellsX, int cellsZ,
                                                    float cellSize, float y) {
    PhysicsShapeDesc shape;
    shape.type = PhysicsShapeType::TriangleMesh;
    shape.triangleMesh = cookGrid(minX, minZ, cellsX, cellsZ, cellSize, y);
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    return scene->createActor(actor);
}

void PhysicsTestScene::step(int count) {
    for (int i = 0; i < count; ++i) {
        scene->simulate(1.0f / 60.0f);
        scene->flushStream();
        scene->fetchResults();
    }
}

void RecordingContactReport::onContactNotify(PhysicsContactPair& pair, std::uint32_t events) {
    contacts.push_back({pair, events, std::this_thread::get_id()});
}

int RecordingContactReport::count(std::uint32_t events) const {
    return static_cast<int>(std::count_if(contacts.begin(), contacts.end(),
                                          [events](const RecordedContact& c) { return c.events == events; }));
}

void RecordingTriggerReport::onTrigger(PhysicsShape& triggerShape, PhysicsShape& otherShape,
                                       std::uint32_t status) {
    triggers.push_back({&triggerShape, &otherShape, status});
}

int RecordingTriggerReport::count(std::uint32_t status) const {
    return static_cast<int>(std::count_if(triggers.begin(), triggers.end(),
                                          [status](const RecordedTrigger& t) { return t.status == status; }));
}
