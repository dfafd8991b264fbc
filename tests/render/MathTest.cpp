#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/Frustum.h"
#include "render/Matrix44.h"
#include "render/Vector4.h"

namespace {

Matrix44 translation(float x, float y, float z) {
    Matrix44 m;
    m.at(0, 3) = x;
    m.at(1, 3) = y;
    m.at(2, 3) = z;
    return m;
}

Matrix44 scale(float s) {
    Matrix44 m;
    m.at(0, 0) = m.at(1, 1) = m.at(2, 2) = s;
    return m;
}

// The symmetric game projection: 65 degrees vertically, near plane 0.005, aspect 4:3.
Matrix44 gameProjection(bool depthClamp) {
    const float top = static_cast<float>(std::tan(0.5672320127487183)) * 0.005f;
    const float right = top * 640.0f / 480.0f;
    return Matrix44::perspective(-right, right, -top, top, 0.005f, Matrix44::kInfinity, depthClamp);
}

} // namespace

TEST(VectorTest, ArithmeticAndCrossProductFollowTheRightHandRule) {
    const Vector3 x{1, 0, 0};
    const Vector3 y{0, 1, 0};
    EXPECT_EQ(x.cross(y), (Vector3{0, 0, 1}));
    EXPECT_EQ(y.cross(x), (Vector3{0, 0, -1}));
    EXPECT_EQ(((Vector3{1, 2, 3} + Vector3{4, 5, 6}) * 2.0f - Vector3{10, 14, 18}), (Vector3{0, 0, 0}));
    EXPECT_EQ((-Vector3{1, -2, 3} / 2.0f), (Vector3{-0.5f, 1.0f, -1.5f}));
    EXPECT_EQ((Vector3{0, 0, 0}).normalized(), (Vector3{0, 0, 0}));
    EXPECT_FLOAT_EQ((Vector3{3, 0, 4}).normalized().length(), 1.0f);
}

TEST(VectorTest, Vector4DefaultsToThePointAtTheOriginAndScalesAllComponents) {
    EXPECT_EQ((Vector4{}), (Vector4{0, 0, 0, 1}));
    EXPECT_EQ(((Vector4{1, 2, 3, 4} + Vector4{}) * 2.0f), (Vector4{2, 4, 6, 10}));
}

TEST(MatrixTest, ProductAppliesTheRightFactorFirst) {
    const Matrix44 scaleThenMove = translation(1, 2, 3) * scale(2);
    EXPECT_EQ(scaleThenMove.transform({1, 1, 1}), (Vector3{3, 4, 5}));
    const Matrix44 moveThenScale = scale(2) * translation(1, 2, 3);
    EXPECT_EQ(moveThenScale.transform({1, 1, 1}), (Vector3{4, 6, 8}));
}

TEST(MatrixTest, TransformDividesByWOnlyWhenItIsNotOne) {
    Matrix44 affine = translation(0, 0, -5);
    affine.at(0, 0) = 3.0f;
    EXPECT_EQ(affine.transform({2, 1, 1}), (Vector3{6, 1, -4}));

    Matrix44 projective;
    projective.at(3, 3) = 2.0f;
    EXPECT_EQ(projective.transform({2, 4, 6}), (Vector3{1, 2, 3}));
}

TEST(MatrixTest, InfiniteProjectionHasTheFrustumEntriesAndTheDepthEpsilon) {
    const Matrix44 p = gameProjection(false);
    const float cotangent = static_cast<float>(1.0 / std::tan(0.5672320127487183));
    EXPECT_NEAR(p.at(1, 1), cotangent, 1e-5);
    EXPECT_NEAR(p.at(0, 0), cotangent * 480.0f / 640.0f, 1e-5);
    EXPECT_FLOAT_EQ(p.at(0, 2), 0.0f);
    EXPECT_FLOAT_EQ(p.at(2, 2), -0.999f);
    EXPECT_FLOAT_EQ(p.at(2, 3), -1.999f * 0.005f);
    EXPECT_FLOAT_EQ(p.at(3, 2), -1.0f);
    EXPECT_FLOAT_EQ(p.at(3, 3), 0.0f);

    const Matrix44 clamped = gameProjection(true);
    EXPECT_FLOAT_EQ(clamped.at(2, 2), -1.0f);
    EXPECT_FLOAT_EQ(clamped.at(2, 3), -0.01f);

    // A point a million units ahead still lands inside the depth range.
    const Vector3 far = p.transform({0, 0, -1e6f});
    EXPECT_LT(far.z, 1.0f);
    EXPECT_GT(far.z, 0.99f);
}

TEST(MatrixTest, FiniteFarPlaneMapsNearAndFarToTheDepthRangeEnds) {
    const Matrix44 p = Matrix44::perspective(-1, 1, -1, 1, 1, 100, false);
    EXPECT_NEAR(p.transform({0, 0, -1}).z, -1.0f, 1e-5);
    EXPECT_NEAR(p.transform({0, 0, -100}).z, 1.0f, 1e-5);
}

TEST(FrustumTest, SpheresAgainstTheGameProjection) {
    Frustum frustum;
    frustum.extract(gameProjection(false), Matrix44{});

    EXPECT_TRUE(frustum.sphereInFrustum(0, 0, -10, 0));
    EXPECT_FALSE(frustum.sphereInFrustum(0, 0, 10, 1)) << "behind the camera";
    EXPECT_TRUE(frustum.sphereInFrustum(0, 0, 0.5f, 1)) << "reaches over the near plane";
    EXPECT_TRUE(frustum.sphereInFrustum(0, 0, -1e7f, 0)) << "the far plane is at infinity";
    // 65 degrees vertically: at depth 10 the top edge is at 10 * tan(32.5 degrees).
    const float edge = 10.0f * static_cast<float>(std::tan(0.5672320127487183));
    EXPECT_TRUE(frustum.sphereInFrustum(0, edge - 0.01f, -10, 0));
    EXPECT_FALSE(frustum.sphereInFrustum(0, edge + 0.01f, -10, 0));
    EXPECT_TRUE(frustum.sphereInFrustum(0, edge + 0.5f, -10, 1));
}

TEST(FrustumTest, PlanesAreUnitLengthAndASphereTouchingOneFromOutsideIsOutside) {
    Frustum frustum;
    frustum.extract(Matrix44::perspective(-1, 1, -1, 1, 1, 100, false), translation(0, 0, -5));
    for (const auto& plane : frustum.planes) {
        EXPECT_NEAR(std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]), 1.0f, 1e-5);
    }
    // Near plane at z = -1 in eye space, that is z = 4 in world space.
    EXPECT_NEAR(frustum.planes[Frustum::NEAR][3] / frustum.planes[Frustum::NEAR][2], -4.0f, 1e-4);
    EXPECT_FALSE(frustum.sphereInFrustum(0, 0, 4, 0)) << "radius 0 exactly on the near plane";
    EXPECT_FALSE(frustum.sphereInFrustum(0, 0, 6, 2)) << "touching it from outside";
    EXPECT_TRUE(frustum.sphereInFrustum(0, 0, 6, 2.01f));
}

TEST(FrustumTest, AnExactInfiniteFarPlaneNeverRejects) {
    Matrix44 exact = gameProjection(true);
    Frustum frustum;
    frustum.extract(exact, Matrix44{});
    EXPECT_TRUE(std::isnan(frustum.planes[Frustum::FAR][0]));
    EXPECT_TRUE(frustum.sphereInFrustum(0, 0, -1e9f, 0));
    EXPECT_FALSE(frustum.sphereInFrustum(0, 0, 1, 0));
}

TEST(FrustumTest, ASphereJustPastAnyOneOfTheSixPlanesIsOutside) {
    Frustum frustum;
    frustum.extract(Matrix44::perspective(-1, 1, -1, 1, 1, 100, false), Matrix44{});
    // At depth 10 the side planes pass 10 units off the axis at 45 degrees: a
    // centre moved out by 0.6 * sqrt(2) across one of them lies 0.6 beyond it.
    const float across = 10.0f + 0.6f * std::sqrt(2.0f);
    const struct {
        Vector3 centre;
        const char* plane;
    } beyond[] = {{{across, 0, -10}, "right"}, {{-across, 0, -10}, "left"}, {{0, -across, -10}, "bottom"},
                  {{0, across, -10}, "top"},   {{0, 0, -100.6f}, "far"},    {{0, 0, -0.4f}, "near"}};
    for (const auto& [centre, plane] : beyond) {
        EXPECT_FALSE(frustum.sphereInFrustum(centre.x, centre.y, centre.z, 0.5f)) << plane;
        EXPECT_TRUE(frustum.sphereInFrustum(centre.x, centre.y, centre.z, 0.7f)) << plane;
    }
}
