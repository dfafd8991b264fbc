#include <gtest/gtest.h>

#include "PhysicsTestScene.h"

namespace {

constexpr std::uint32_t bit(int group) {
    return 1u << group;
}

// Along +X from the origin: a static box of group 2 whose face is 4 away and a
// moving box of group 3 whose face is 9 away.
class RaycastTest : public ::testing::Test {
protected:
    void SetUp() override {
        near = world.addBox({5.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, 2);
        far = world.addBox({10.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 1.0f, 3);
        world.scene->setGravity({0.0f, 0.0f, 0.0f});
    }

    PhysicsShape* cast(std::uint32_t groups, PhysicsShapesType types = PhysicsShapesType::All,
                       float maxDist = FLT_MAX) {
        return world.scene->raycastClosestShape(ray, types, hit, groups, maxDist);
    }

    PhysicsTestScene world;
    PhysicsActor* near = nullptr;
    PhysicsActor* far = nullptr;
    PhysicsRay ray{{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}};
    PhysicsRaycastHit hit;
};

} // namespace

TEST_F(RaycastTest, ShapesInsideTheMaskAreHitAndShapesOutsideNeverAre) {
    EXPECT_EQ(cast(0xFFFFFFFFu), near->getShapes().front());
    EXPECT_NEAR(hit.distance, 4.0f, 1e-3f);
    EXPECT_NEAR(hit.worldImpact.x, 4.0f, 1e-3f);
    EXPECT_NEAR(hit.worldNormal.x, -1.0f, 1e-3f);

    EXPECT_EQ(cast(bit(3)), far->getShapes().front());
    EXPECT_NEAR(hit.distance, 9.0f, 1e-3f);
    EXPECT_EQ(cast(bit(2)), near->getShapes().front());
    EXPECT_EQ(cast(bit(0) | bit(1) | bit(4) | bit(31)), nullptr);
    EXPECT_EQ(cast(0), nullptr);
}

TEST_F(RaycastTest, ShapeGroupChangesTakeEffectForTheMask) {
    near->getShapes().front()->setGroup(7);
    EXPECT_EQ(cast(bit(2) | bit(3)), far->getShapes().front());
    EXPECT_EQ(cast(bit(7)), near->getShapes().front());
    near->getShapes().front()->setGroup(32); // out of range: ignored
    EXPECT_EQ(near->getShapes().front()->getGroup(), 7);
}

TEST_F(RaycastTest, StaticAndDynamicSelectionDistanceLimitAndDirectionLength) {
    EXPECT_EQ(cast(0xFFFFFFFFu, PhysicsShapesType::Dynamic), far->getShapes().front());
    EXPECT_EQ(cast(0xFFFFFFFFu, PhysicsShapesType::Static), near->getShapes().front());
    EXPECT_EQ(cast(0xFFFFFFFFu, PhysicsShapesType::All, 3.9f), nullptr);
    EXPECT_EQ(cast(0xFFFFFFFFu, PhysicsShapesType::All, 4.1f), near->getShapes().front());

    ray.dir = {3.0f, 0.0f, 0.0f};
    EXPECT_EQ(cast(0xFFFFFFFFu), near->getShapes().front());
    EXPECT_NEAR(hit.distance, 4.0f, 1e-3f);
    ray.dir = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(cast(0xFFFFFFFFu), nullptr);
}

TEST_F(RaycastTest, TriggersAndActorsWithoutCollisionAreNotHit) {
    world.addBox({2.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f}, 0.0f, 2, PhysicsShapeFlags::TriggerEnable);
    near->raiseActorFlag(PhysicsActorFlag::DisableCollision);
    EXPECT_EQ(cast(0xFFFFFFFFu), far->getShapes().front());
}

TEST_F(RaycastTest, TriangleMeshReportsTheFaceHit) {
    world.addTessellatedFloor(-5.0f, -5.0f, 10, 10, 1.0f, -3.0f);
    ray = {{0.5f, 10.0f, 0.25f}, {0.0f, -1.0f, 0.0f}};
    PhysicsShape* shape = cast(bit(0));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->getType(), PhysicsShapeType::TriangleMesh);
    EXPECT_NEAR(hit.distance, 13.0f, 1e-3f);
    EXPECT_EQ(hit.faceID, 2u * (5u * 10u + 5u) + 1u); // cell (5, 5), the triangle below its diagonal
}
