#include <gtest/gtest.h>

#include <cmath>

#include "PhysicsTestScene.h"

namespace {

float length(const PhysicsVec3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace

TEST(TriangleMeshContactTest, CrateOnInnerEdgesRestsStillAndSlidesWithoutTurning) {
    PhysicsTestScene world;
    world.addTessellatedFloor(-5.0f, -5.0f, 10, 10, 1.0f, 0.0f);
    // Its bottom face covers several cells and their edges.
    PhysicsActor* crate = world.addBox({0.3f, 0.6f, 0.2f}, {0.5f, 0.5f, 0.5f}, 1.0f);
    world.step(60);
    float largestSpin = 0.0f;
    for (int i = 0; i < 60; ++i) {
        world.step();
        largestSpin = std::max(largestSpin, length(crate->getAngularVelocity()));
    }
    EXPECT_LT(largestSpin, 0.01f);
    EXPECT_NEAR(crate->getGlobalPosition().y, 0.5f, 0.002f);

    crate->setLinearVelocity({4.0f, 0.0f, 1.0f});
    world.step(60);
    EXPECT_LT(length(crate->getLinearVelocity()), 0.01f);
    EXPECT_GT(std::abs(crate->getGlobalOrientationQuat().w),
              std::cos(0.5f * 0.02f)); // turned under 1.2 degrees
}
