#include <gtest/gtest.h>

#include "physics/PhysicsCooking.h"
#include "physics/PhysicsSDK.h"

namespace {

PhysicsTriangleMeshDesc twoTriangles() {
    PhysicsTriangleMeshDesc desc;
    desc.points = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1};
    desc.triangles = {0, 2, 1, 0, 3, 2};
    return desc;
}

PhysicsConvexMeshDesc tetrahedron() {
    return {{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1}};
}

} // namespace

TEST(PhysicsCookingTest, CookedMeshesComeBackThroughTheSdk) {
    PhysicsSDK sdk;
    MemoryWriteBuffer cookedTriangles;
    ASSERT_TRUE(PhysicsCooking::cookTriangleMesh(twoTriangles(), cookedTriangles));
    MemoryReadBuffer triangleStream(cookedTriangles.getData());
    PhysicsTriangleMesh* mesh = sdk.createTriangleMesh(triangleStream);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->getTriangleCount(), 2u);
    EXPECT_EQ(mesh->getVertexCount(), 4u);

    MemoryWriteBuffer cookedHull;
    ASSERT_TRUE(PhysicsCooking::cookConvexMesh(tetrahedron(), cookedHull));
    MemoryReadBuffer hullStream(cookedHull.getData());
    PhysicsConvexMesh* hull = sdk.createConvexMesh(hullStream);
    ASSERT_NE(hull, nullptr);
    EXPECT_NEAR(hull->getVolume(), 1.0f / 6.0f, 1e-6f);
}

TEST(PhysicsCookingTest, MeshesTheEngineCannotUseAreNotCooked) {
    MemoryWriteBuffer stream;
    PhysicsTriangleMeshDesc outOfRange = twoTriangles();
    outOfRange.triangles[4] = 4;
    EXPECT_FALSE(PhysicsCooking::cookTriangleMesh(outOfRange, stream));
    PhysicsTriangleMeshDesc ragged = twoTriangles();
    ragged.triangles.pop_back();
    EXPECT_FALSE(PhysicsCooking::cookTriangleMesh(ragged, stream));
    EXPECT_FALSE(PhysicsCooking::cookTriangleMesh({}, stream));
    PhysicsTriangleMeshDesc notFinite = twoTriangles();
    notFinite.points[3] = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(PhysicsCooking::cookTriangleMesh(notFinite, stream));

    EXPECT_FALSE(PhysicsCooking::cookConvexMesh({{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}}, stream)); // flat
    EXPECT_FALSE(PhysicsCooking::cookConvexMesh({{0, 0, 0, 1, 0, 0, 0, 1, 0}}, stream));
    EXPECT_TRUE(stream.getData().empty());
}

TEST(PhysicsCookingTest, SdkRefusesStreamsOfTheWrongKindOrCutShort) {
    PhysicsSDK sdk;
    MemoryWriteBuffer cookedHull;
    ASSERT_TRUE(PhysicsCooking::cookConvexMesh(tetrahedron(), cookedHull));
    MemoryReadBuffer wrongKind(cookedHull.getData());
    EXPECT_EQ(sdk.createTriangleMesh(wrongKind), nullptr);

    MemoryWriteBuffer cookedTriangles;
    ASSERT_TRUE(PhysicsCooking::cookTriangleMesh(twoTriangles(), cookedTriangles));
    const auto& bytes = cookedTriangles.getData();
    MemoryReadBuffer cutShort(std::span(bytes.data(), bytes.size() - 1));
    EXPECT_EQ(sdk.createTriangleMesh(cutShort), nullptr);

    // A vertex count far beyond the bytes that follow must not be trusted.
    MemoryWriteBuffer lying;
    lying.storeDword(static_cast<std::uint32_t>(PhysicsCooking::MeshKind::Triangles));
    lying.storeDword(0xFFFFFFF0u);
    MemoryReadBuffer lyingStream(lying.getData());
    EXPECT_EQ(sdk.createTriangleMesh(lyingStream), nullptr);
}

TEST(PhysicsSdkTest, OnlySoftwareScenesParametersAndNoRemoteDebugger) {
    PhysicsSDK sdk;
    PhysicsSceneDesc desc;
    desc.simType = PhysicsSimulationType::Hardware;
    EXPECT_EQ(sdk.createScene(desc), nullptr);
    desc.simType = PhysicsSimulationType::Software;
    PhysicsScene* scene = sdk.createScene(desc);
    ASSERT_NE(scene, nullptr);
    desc.substep = 0.0f;
    EXPECT_EQ(sdk.createScene(desc), nullptr);
    EXPECT_EQ(sdk.getNbScenes(), 1u);

    EXPECT_TRUE(sdk.setParameter(PhysicsParameter::SkinWidth, 0.001f));
    EXPECT_FLOAT_EQ(sdk.getParameter(PhysicsParameter::SkinWidth), 0.001f);
    EXPECT_FALSE(sdk.setParameter(PhysicsParameter::MaxAngularVelocity, -1.0f));
    EXPECT_FLOAT_EQ(sdk.getParameter(PhysicsParameter::MaxAngularVelocity), 7.0f);
    EXPECT_FALSE(sdk.connectRemoteDebugger("localhost", 5425));

    sdk.releaseScene(*scene);
    EXPECT_EQ(sdk.getNbScenes(), 0u);
}
