#include <gtest/gtest.h>

#include <memory>

#include "MeshFixtures.h"
#include "model/OgreModel.h"
#include "physics/PhysicsSDK.h"

TEST(OgreModelTest, PoseGivesTheMatrixAndItsInverse) {
    OgreModel model;
    // A quarter turn about z (row-major) and a shift.
    const float rotation[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    const float translation[3] = {5, 6, 7};
    model.applyGlobalPose(rotation, translation);

    const Matrix44& matrix = *model.getModelMatrix();
    EXPECT_EQ(matrix.at(1, 0), 1.0f) << "column 0 holds the rotation's first column";
    EXPECT_EQ(matrix.at(0, 1), -1.0f);
    EXPECT_EQ(matrix.at(0, 3), 5.0f);
    EXPECT_EQ(matrix.at(2, 3), 7.0f);
    EXPECT_EQ(matrix.at(3, 3), 1.0f);
    const Matrix44 product = *model.getInverseModelMatrix() * matrix;
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product.m[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-6f) << i;
    }
}

TEST(OgreModelTest, SingularRotationInvertsToIdentity) {
    OgreModel model;
    const float flat[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    const float translation[3] = {1, 2, 3};
    model.applyGlobalPose(flat, translation);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(model.getInverseModelMatrix()->m[i], expected[i]) << i;
    }
}

TEST(OgreModelTest, UpdateFollowsTheActor) {
    PhysicsSDK sdk;
    PhysicsScene* scene = sdk.createScene(PhysicsSceneDesc());
    PhysicsShapeDesc ball;
    ball.type = PhysicsShapeType::Sphere;
    PhysicsBodyDesc body;
    body.mass = 1.0f;
    PhysicsActorDesc desc;
    desc.shapes.push_back(ball);
    desc.body = &body;
    desc.globalPose.position = {1, 2, 3};
    PhysicsActor* actor = scene->createActor(desc);
    ASSERT_NE(actor, nullptr);
    actor->setLinearVelocity({4, 0, 0});

    OgreModel model;
    model.setActor(actor);
    model.update();
    EXPECT_EQ(*model.getPosition(), (Vector3{1, 2, 3}));
    EXPECT_EQ(model.getModelMatrix()->at(1, 3), 2.0f);
    EXPECT_EQ(model.getInverseModelMatrix()->at(2, 3), -3.0f);
    EXPECT_EQ(*model.getLinearVelocity(), (Vector3{4, 0, 0}));
}

TEST(OgreModelTest, CopyForAGameObjectSharesTheMeshAndOwnsItsTransform) {
    std::unique_ptr<OgreModelMesh> mesh(buildMesh(sharedCube()));
    mesh->animations["spin"] = new OgreModelAnimation();
    auto original = std::make_unique<OgreModel>();
    original->mesh = mesh.get();
    original->hash = "ABC";
    original->profile = "item";
    original->setPosition({1, 2, 3});
    original->setAnimation("spin");

    const OgreModel copy(*original);
    EXPECT_NE(copy.position, original->position);
    original.reset();
    EXPECT_EQ(copy.mesh, mesh.get());
    EXPECT_EQ(copy.hash, "ABC");
    EXPECT_EQ(copy.profile, "item");
    EXPECT_EQ(copy.position->z, 3.0f);
    EXPECT_EQ(copy.currentAnimation, "") << "playback starts anew";
    EXPECT_EQ(mesh->submeshes.at("submesh_0")->faces.size(), 12u) << "the mesh outlives its models";
}
