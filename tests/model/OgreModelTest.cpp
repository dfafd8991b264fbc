#include <gtest/gtest.h>

#include <memory>

#include "MeshFixtures.h"
#include "model/OgreModel.h"

namespace {

// Column-major product a * b.
void multiply(const float* a, const float* b, float* product) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            product[column * 4 + row] = 0.0f;
            for (int k = 0; k < 4; ++k) {
                product[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
            }
        }
    }
}

} // namespace

TEST(OgreModelTest, PoseGivesTheMatrixAndItsInverse) {
    OgreModel model;
    // A quarter turn about z (row-major) and a shift.
    const float rotation[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1};
    const float translation[3] = {5, 6, 7};
    model.applyGlobalPose(rotation, translation);

    const float* matrix = model.getModelMatrix();
    EXPECT_EQ(matrix[1], 1.0f) << "column 0 holds the rotation's first column";
    EXPECT_EQ(matrix[4], -1.0f);
    EXPECT_EQ(matrix[12], 5.0f);
    EXPECT_EQ(matrix[14], 7.0f);
    EXPECT_EQ(matrix[15], 1.0f);
    float product[16];
    multiply(model.getInverseModelMatrix(), matrix, product);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-6f) << i;
    }
}

TEST(OgreModelTest, SingularRotationInvertsToIdentity) {
    OgreModel model;
    const float flat[9] = {1, 0, 0, 0, 1, 0, 0, 0, 0};
    const float translation[3] = {1, 2, 3};
    model.applyGlobalPose(flat, translation);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(model.getInverseModelMatrix()[i], expected[i]) << i;
    }
}

TEST(OgreModelTest, CopyForAGameObjectSharesTheMeshAndOwnsItsTransform) {
    std::unique_ptr<OgreModelMesh> mesh(buildMesh(sharedCube()));
    mesh->animations["spin"] = new OgreModelAnimation();
    auto original = std::make_unique<OgreModel>();
    original->mesh = mesh.get();
    original->hash = "ABC";
    original->profile = "item";
    const float position[3] = {1, 2, 3};
    original->setPosition(position);
    original->setAnimation("spin");

    const OgreModel copy(*original);
    original.reset();
    EXPECT_EQ(copy.mesh, mesh.get());
    EXPECT_EQ(copy.hash, "ABC");
    EXPECT_EQ(copy.profile, "item");
    EXPECT_EQ(copy.position[2], 3.0f);
    EXPECT_EQ(copy.currentAnimation, "") << "playback starts anew";
    EXPECT_EQ(mesh->submeshes.at("submesh_0")->faces.size(), 12u) << "the mesh outlives its models";
}
