#include <AL/al.h>
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

#include "GlTest.h"
#include "TempDataRoot.h"
#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "game/Camera.h"
#include "physics/PhysicsScene.h"
#include "render/Matrix44.h"
#include "scene/PhysicsManager.h"

namespace {

Camera gameCamera() {
    return Camera(15, -30, 90, 0, 45, 1.0f / 60.0f, 5, 18);
}

float elevation(const Vector3& direction) {
    return std::asin(direction.y) * 180.0f / 3.14159265f;
}

// The current physics scene with one static box of shape group 0.
class CameraObstacleTest : public ::testing::Test {
protected:
    void SetUp() override {
        physics = PhysicsManager::getInstance();
        ASSERT_NE(physics, nullptr);
        scene = physics->createScene();
        physics->setCurrentScene(scene, false);
    }
    void TearDown() override {
        PhysicsManager::destroy();
        ConfigManager::destroy();
    }

    void addWall(const PhysicsVec3& centre, const PhysicsVec3& halfExtents) {
        PhysicsShapeDesc shape;
        shape.type = PhysicsShapeType::Box;
        shape.dimensions = halfExtents;
        PhysicsActorDesc actor;
        actor.shapes.push_back(shape);
        actor.globalPose.position = centre;
        ASSERT_NE(scene->createActor(actor), nullptr);
    }

    TempDataRoot root;
    PhysicsManager* physics = nullptr;
    PhysicsScene* scene = nullptr;
};

} // namespace

TEST(CameraTest, HeadingIsZeroBehindTheTargetAndSignedToTheSides) {
    Camera camera = gameCamera();
    EXPECT_EQ(camera.direction, (Vector3{0, 0, 1}));
    EXPECT_FLOAT_EQ(camera.getHeading(), 0.0f);
    camera.direction = {1, 0, 0};
    EXPECT_FLOAT_EQ(camera.getHeading(), -90.0f);
    camera.direction = {-1, 0, 0};
    EXPECT_FLOAT_EQ(camera.getHeading(), 90.0f);
    camera.direction = Vector3{0, 0.8f, -0.6f};
    EXPECT_FLOAT_EQ(std::abs(camera.getHeading()), 180.0f) << "the vertical part does not count";
}

TEST(CameraTest, CollisionGroupsBecomeOneBitEach) {
    EXPECT_EQ(Camera::collisionMaskOf("1 3"), 10u);
    EXPECT_EQ(Camera::collisionMaskOf("0"), 1u);
    EXPECT_EQ(Camera::collisionMaskOf(""), 0u);
    EXPECT_EQ(Camera::collisionMaskOf("  2\t2 35 "), 4u | 8u) << "35 mod 32 is 3";

    TempDataRoot root;
    root.write("Vorn.ini", "[camcollision]\ncollisionGroups = 1 3\n");
    EXPECT_EQ(Camera::getInstance()->collisionMask, 10u);
    Camera::destroy();
    ConfigManager::destroy();
}

TEST(CameraTest, EachFrameClosesHalfTheAngleAndTheDistanceReturnsAtRateThreeInTheOpen) {
    Camera camera = gameCamera();
    camera.currentDistance = 10.0f;
    const Vector3 ball{3, 1, -2};
    camera.follow(ball, 0.1f);
    EXPECT_NEAR(camera.currentDistance, 10.0f + 5.0f * 0.3f, 1e-4f);
    EXPECT_NEAR(elevation(camera.direction), 22.5f, 1e-3f) << "half of the 45 degrees asked for";
    EXPECT_NEAR((camera.eye - ball).length(), camera.currentDistance, 1e-4f);
    EXPECT_FALSE(camera.collided);

    for (int frame = 0; frame < 40; ++frame) {
        camera.follow(ball, 0.1f);
    }
    EXPECT_NEAR(camera.currentDistance, 15.0f, 5.0f * std::pow(0.7f, 41.0f) + 1e-4f);
    EXPECT_NEAR(elevation(camera.direction), 45.0f, 1e-3f);
    EXPECT_EQ(camera.target, ball);
}

TEST(CameraTest, TurningTheYawSwingsTheCameraRoundTheTarget) {
    Camera camera = gameCamera();
    camera.pitchTarget = 0.0f;
    camera.yawTarget = 90.0f;
    for (int frame = 0; frame < 40; ++frame) {
        camera.follow({0, 0, 0}, 1.0f / 60.0f);
    }
    EXPECT_NEAR(camera.direction.x, -1.0f, 1e-3f) << "a positive yaw turns from +z towards -x";
    EXPECT_NEAR(camera.getHeading(), 90.0f, 0.1f);
}

// The window reports where the pointer is when it opens; that turns nothing.
TEST(CameraTest, TheFirstPointerPositionOnlyMarksWhereThePointerIs) {
    Camera camera = gameCamera();
    camera.mouseMove(320, 240);
    EXPECT_FLOAT_EQ(camera.yawTarget, 0.0f);
    EXPECT_FLOAT_EQ(camera.pitchTarget, 45.0f);
    camera.mouseMove(330, 236);
    EXPECT_FLOAT_EQ(camera.yawTarget, 5.0f);
    EXPECT_FLOAT_EQ(camera.pitchTarget, 43.0f);
    camera.mouseSeen = false; // as after the cursor was locked or freed
    camera.mouseMove(-500, 900);
    EXPECT_FLOAT_EQ(camera.yawTarget, 5.0f);
    EXPECT_FLOAT_EQ(camera.pitchTarget, 43.0f);
}

// Straight down the view line has no horizontal part; W must still roll the way the camera was turned.
TEST(CameraTest, LookingStraightDownKeepsTheHeadingTheCameraWasTurnedTo) {
    for (const float yaw : {0.0f, 30.0f, -135.0f, 400.0f}) {
        Camera camera = gameCamera();
        camera.yawTarget = yaw;
        camera.pitchTarget = 90.0f;
        for (int frame = 0; frame < 200; ++frame) {
            camera.follow({0, 0, 0}, 1.0f / 60.0f);
            ASSERT_NEAR(std::remainder(camera.getHeading() - camera.currentYaw, 360.0f), 0.0f, 0.01f)
                << "yaw " << yaw << ", frame " << frame;
        }
        EXPECT_NEAR(camera.direction.y, 1.0f, 1e-6f);
        EXPECT_NEAR(std::remainder(camera.getHeading() - yaw, 360.0f), 0.0f, 0.01f);
    }
}

TEST(CameraTest, LookingAlongAHeadingPutsTheCameraBehindTheTargetAtTheStartPitchAtOnce) {
    Camera camera = gameCamera();
    camera.yawTarget = 70.0f;
    camera.pitchTarget = 80.0f;
    for (int frame = 0; frame < 30; ++frame) {
        camera.follow({0, 0, 0}, 1.0f / 60.0f);
    }
    camera.lookAlong(-90.0f);
    EXPECT_NEAR(camera.getHeading(), -90.0f, 1e-3f);
    EXPECT_NEAR(elevation(camera.direction), 45.0f, 1e-3f);
    EXPECT_NEAR(camera.direction.x, std::cos(45.0f * 3.14159265f / 180.0f), 1e-4f) << "behind, at +x";
    camera.follow({0, 0, 0}, 1.0f / 60.0f);
    EXPECT_NEAR(camera.getHeading(), -90.0f, 1e-3f) << "and it stays there";
    EXPECT_NEAR(elevation(camera.direction), 45.0f, 1e-3f);
}

TEST_F(CameraObstacleTest, AWallCloserThanTheMinimumMakesTheCameraClimbInHalfDegreeSteps) {
    // Its face 4 units behind the ball, 4.5 high.
    addWall({0, 0, 4.5f}, {20, 4.5f, 0.5f});
    Camera camera = gameCamera();
    camera.pitchTarget = 0.0f;
    camera.follow({0, 0, 0}, 1.0f / 60.0f);
    EXPECT_TRUE(camera.collided);
    EXPECT_GT(camera.pitchTarget, 40.0f);
    EXPECT_FLOAT_EQ(std::fmod(camera.pitchTarget, 0.5f), 0.0f);
    // It stops once even the ray 10 degrees below the camera line passes 5 units from the ball.
    EXPECT_GE(4.0f / std::cos((elevation(camera.direction) - 10.0f) * 3.14159265f / 180.0f), 4.99f);
    EXPECT_LT(4.0f / std::cos((elevation(camera.direction) - 10.6f) * 3.14159265f / 180.0f), 5.0f)
        << "and not much later";

    Camera limited(15, -30, 20, 0, 0, 1.0f / 60.0f, 5, 18);
    limited.follow({0, 0, 0}, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(limited.pitchTarget, 19.5f) << "climbing ends below the pitch limit";
}

TEST_F(CameraObstacleTest, AnObstacleBeyondTheMinimumPullsTheCameraInFrontOfItAndZoomingOutKeepsItThere) {
    // 8 units behind the ball along the camera line, for every ray.
    addWall({0, 0, 8.5f}, {50, 50, 0.5f});
    Camera camera = gameCamera();
    camera.pitchTarget = 0.0f;
    for (int frame = 0; frame < 200; ++frame) {
        camera.follow({0, 0, 0}, 1.0f / 60.0f);
    }
    EXPECT_TRUE(camera.collided);
    EXPECT_NEAR(camera.currentDistance, 7.5f, 0.05f) << "half a unit in front of the wall";
    camera.desiredDistance = camera.maxDistance;
    for (int frame = 0; frame < 60; ++frame) {
        camera.follow({0, 0, 0}, 1.0f / 60.0f);
    }
    EXPECT_NEAR(camera.currentDistance, 7.5f, 0.05f);

    // Shapes outside the camera's groups are seen through.
    camera.collisionMask = Camera::collisionMaskOf("1 3");
    for (int frame = 0; frame < 200; ++frame) {
        camera.follow({0, 0, 0}, 1.0f / 60.0f);
    }
    EXPECT_FALSE(camera.collided);
    EXPECT_NEAR(camera.currentDistance, camera.maxDistance, 0.05f);
}

// A frame of a whole second (a level's first frame on a slow machine) closes the distance at
// most: the camera never ends up on the other side of the ball.
TEST_F(CameraObstacleTest, ASlowFrameClosesTheDistanceButNeverPassesIt) {
    Camera open = gameCamera();
    open.currentDistance = 10.0f;
    open.follow({0, 0, 0}, 1.0f);
    EXPECT_FLOAT_EQ(open.currentDistance, open.desiredDistance);

    addWall({0, 0, 8.5f}, {50, 50, 0.5f});
    Camera walled = gameCamera();
    walled.pitchTarget = 0.0f;
    walled.follow({0, 0, 0}, 1.0f);
    EXPECT_TRUE(walled.collided);
    EXPECT_NEAR(walled.currentDistance, 7.5f, 0.05f) << "in front of the wall, not behind the ball";
}

class CameraViewTest : public GlTest {};

TEST_F(CameraViewTest, ApplyLooksFromTheEyeAtTheTargetAndPlacesTheListenerThere) {
    SoundManager* sound = SoundManager::getInstance();
    Camera camera = gameCamera();
    camera.follow({2, 1, -3}, 0.1f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.apply();
    Matrix44 view;
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    const Vector3 eyeInView = view.transform(camera.eye);
    EXPECT_NEAR(eyeInView.length(), 0.0f, 1e-4f);
    const Vector3 targetInView = view.transform(camera.target);
    EXPECT_NEAR(targetInView.z, -camera.currentDistance, 1e-3f) << "straight ahead";
    EXPECT_NEAR(targetInView.x, 0.0f, 1e-4f);
    if (sound->hasDevice()) {
        float listener[3] = {};
        alGetListenerfv(AL_POSITION, listener);
        EXPECT_NEAR(listener[0], camera.eye.x, 1e-4f);
        EXPECT_NEAR(listener[2], camera.eye.z, 1e-4f);
        float orientation[6] = {};
        alGetListenerfv(AL_ORIENTATION, orientation);
        EXPECT_NEAR(orientation[0], -camera.direction.x, 1e-4f);
        EXPECT_NEAR(orientation[4], 1.0f, 1e-4f);
    }
}
