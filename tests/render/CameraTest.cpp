#include <gtest/gtest.h>

#include "render/Camera.h"

TEST(CameraTest, HeadingIsZeroBehindTheTargetAndSignedToTheSides) {
    Camera camera(15, -30, 90, 0, 45, 1.0f / 60.0f, 5, 18);
    EXPECT_EQ(camera.direction, (Vector3{0, 0, 1}));
    EXPECT_FLOAT_EQ(camera.getHeading(), 0.0f);
    camera.direction = {1, 0, 0};
    EXPECT_FLOAT_EQ(camera.getHeading(), -90.0f);
    camera.direction = {-1, 0, 0};
    EXPECT_FLOAT_EQ(camera.getHeading(), 90.0f);
    camera.direction = Vector3{0, 0.8f, -0.6f};
    EXPECT_FLOAT_EQ(std::abs(camera.getHeading()), 180.0f) << "the vertical part does not count";
}
