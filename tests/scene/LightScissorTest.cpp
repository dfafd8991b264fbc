#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "render/Matrix44.h"
#include "scene/LightScissor.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kNear = 0.005f;

// The game's projection for a 640x480 window: 65 degrees high, far plane at infinity.
Matrix44 gameProjection() {
    const float top = std::tan(0.5672320127487183f) * kNear;
    const float right = top * kWidth / kHeight;
    return Matrix44::perspective(-right, right, -top, top, kNear, Matrix44::kInfinity, false);
}

struct Extent {
    double left = 1e9;
    double right = -1e9;
    double bottom = 1e9;
    double top = -1e9;
    int points = 0;
};

// Where the part of the sphere in front of the near plane lands in the window, clamped to it.
Extent projectedSphere(const Vector3& centre, float radius, const Matrix44& projection, int rings = 90) {
    Extent extent;
    for (int i = 0; i <= rings; ++i) {
        const double polar = 3.14159265358979 * i / rings;
        for (int j = 0; j < 2 * rings; ++j) {
            const double azimuth = 3.14159265358979 * j / rings;
            const Vector3 p{centre.x + radius * static_cast<float>(std::sin(polar) * std::cos(azimuth)),
                            centre.y + radius * static_cast<float>(std::cos(polar)),
                            centre.z + radius * static_cast<float>(std::sin(polar) * std::sin(azimuth))};
            if (p.z > -kNear) {
                continue;
            }
            const Vector3 ndc = projection.transform(p);
            const double x = std::clamp((ndc.x + 1.0) / 2.0 * kWidth, 0.0, double(kWidth));
            const double y = std::clamp((ndc.y + 1.0) / 2.0 * kHeight, 0.0, double(kHeight));
            extent.left = std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
            extent.bottom = std::min(extent.bottom, y);
            extent.top = std::max(extent.top, y);
            ++extent.points;
        }
    }
    return extent;
}

double windowDepth(const Matrix44& projection, float z) {
    return (projection.transform({0, 0, z}).z + 1.0) / 2.0;
}

// The box holds every visible point of the sphere and, on a side whose tangent
// point lies in front of the eye, ends within two pixels of it.
void expectTightAround(const Vector3& light, float radius, const char* where) {
    const Matrix44 projection = gameProjection();
    const LightScissor box =
        LightScissor::compute(light, radius, projection, kWidth, kHeight, projection.at(0, 0));
    const Extent sphere = projectedSphere(light, radius, projection);
    ASSERT_GT(sphere.points, 0) << where;
    EXPECT_LE(box.x, sphere.left + 1) << where;
    EXPECT_GE(box.x + box.width, sphere.right - 1) << where;
    EXPECT_LE(box.y, sphere.bottom + 1) << where;
    EXPECT_GE(box.y + box.height, sphere.top - 1) << where;
    EXPECT_LE(box.width, sphere.right - sphere.left + 4) << where;
    EXPECT_LE(box.height, sphere.top - sphere.bottom + 4) << where;
    EXPECT_NEAR(box.nearDepth, windowDepth(projection, std::min(light.z + radius, -kNear)), 1e-9) << where;
    EXPECT_NEAR(box.farDepth, windowDepth(projection, std::min(light.z - radius, -kNear)), 1e-9) << where;
}

} // namespace

TEST(LightScissorTest, ALightInFrontGetsTheSmallBoxAroundItsSphere) {
    expectTightAround({1.0f, 0.5f, -10.0f}, 2.0f, "in front");
    const Matrix44 projection = gameProjection();
    const LightScissor box =
        LightScissor::compute({1, 0.5f, -10}, 2, projection, kWidth, kHeight, projection.at(0, 0));
    EXPECT_LT(box.width, kWidth / 3);
    EXPECT_GT(box.x, kWidth / 2 - 40) << "right of the middle, as the light is";
    EXPECT_LT(box.nearDepth, box.farDepth);
}

TEST(LightScissorTest, LightsBesideTheEyeReachToTheWindowsEdge) {
    expectTightAround({9.0f, 0.0f, -6.0f}, 3.0f, "off to the right");
    expectTightAround({-2.0f, 7.0f, -5.0f}, 2.5f, "above and left");
    const Matrix44 projection = gameProjection();
    const LightScissor right =
        LightScissor::compute({9, 0, -6}, 3, projection, kWidth, kHeight, projection.at(0, 0));
    EXPECT_EQ(right.x + right.width, kWidth);
    // Beside the eye and reaching behind it: the sphere's far side is in view, its near side is not.
    const LightScissor level =
        LightScissor::compute({6, 1, 0.5f}, 3, projection, kWidth, kHeight, projection.at(0, 0));
    const Extent seen = projectedSphere({6, 1, 0.5f}, 3, projection);
    EXPECT_LE(level.x, seen.left + 1);
    EXPECT_EQ(level.x + level.width, kWidth);
    EXPECT_DOUBLE_EQ(level.nearDepth, windowDepth(projection, -kNear));
}

TEST(LightScissorTest, ALightAroundTheEyeGetsTheWholeWindow) {
    const Matrix44 projection = gameProjection();
    const LightScissor around =
        LightScissor::compute({1, -1, -2}, 4, projection, kWidth, kHeight, projection.at(0, 0));
    EXPECT_EQ(around.x, 0);
    EXPECT_EQ(around.y, 0);
    EXPECT_EQ(around.width, kWidth);
    EXPECT_EQ(around.height, kHeight);
    EXPECT_NEAR(around.nearDepth, 0.0, 1e-6) << "from the near plane";
    EXPECT_NEAR(around.farDepth, windowDepth(projection, -6.0f), 1e-9);

    // Straight above the eye and reaching down in front of it: all the width.
    const LightScissor above =
        LightScissor::compute({0, 3, -1.5f}, 2, projection, kWidth, kHeight, projection.at(0, 0));
    EXPECT_EQ(above.x, 0);
    EXPECT_EQ(above.width, kWidth);
}

TEST(LightScissorTest, NoBoxEverCutsOffAVisiblePartOfItsSphere) {
    const Matrix44 projection = gameProjection();
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-10, 10), y(-8, 8), z(-15, 5), radius(0.5f, 5);
    int checked = 0;
    for (int light = 0; light < 300; ++light) {
        const Vector3 centre{x(random), y(random), z(random)};
        const float r = radius(random);
        const Extent sphere = projectedSphere(centre, r, projection, 30);
        if (sphere.points == 0 || sphere.left >= kWidth || sphere.right <= 0 || sphere.bottom >= kHeight ||
            sphere.top <= 0) {
            continue;
        }
        ++checked;
        const LightScissor box =
            LightScissor::compute(centre, r, projection, kWidth, kHeight, projection.at(0, 0));
        EXPECT_LE(box.x, sphere.left + 1);
        EXPECT_GE(box.x + box.width, sphere.right - 1);
        EXPECT_LE(box.y, sphere.bottom + 1);
        EXPECT_GE(box.y + box.height, sphere.top - 1);
    }
    EXPECT_GT(checked, 100);
}
