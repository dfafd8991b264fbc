#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "GlStateSnapshot.h"
#include "MeshFixtures.h"
#include "ModelDrawingFixture.h"
#include "model/OgreModel.h"
#include "model/ShadowVolume.h"
#include "render/LightSource.h"
#include "render/ShaderManager.h"
#include "render/SystemInfo.h"

namespace {

struct Vertex {
    float x, y, z, w;
    bool operator==(const Vertex&) const = default;
};

std::vector<Vertex> volumeOf(const OgreModelMesh& mesh, const Vector3& light, bool zPass, bool robust,
                             const float* nextPositions = nullptr, float blend = 0.0f, bool ends = false) {
    const OgreModelSubmesh* submesh = mesh.submeshes.begin()->second;
    std::vector<float> out(submesh->faces.size() * ShadowVolume::kFloatsPerFace);
    const int count = ShadowVolume::build({submesh, submesh->positionsAdj, nextPositions, blend}, light,
                                          zPass, robust, out.data(), ends);
    std::vector<Vertex> vertices;
    for (int i = 0; i < count; ++i) {
        vertices.push_back({out[i * 4], out[i * 4 + 1], out[i * 4 + 2], out[i * 4 + 3]});
    }
    return vertices;
}

int facesTurnedTo(const OgreModelMesh& mesh, const Vector3& light) {
    int turned = 0;
    for (const OgreModelFace* face : mesh.submeshes.begin()->second->faces) {
        turned += (light - face->v1->position->position).dot(face->normal) > 0.0f ? 1 : 0;
    }
    return turned;
}

// Triangle (0,0,0) (1,0,0) (0,1,0), facing +z, and one neighbour across the
// side of its corners `first` and `first + 1`, bent steeply down.
MeshData triangleWithNeighbourAcross(int first) {
    MeshData data{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}};
    const std::array<float, 3>& a = data.positions[static_cast<std::size_t>(first)];
    const std::array<float, 3>& b = data.positions[static_cast<std::size_t>((first + 1) % 3)];
    // Beyond the middle of the side, away from the triangle, and well below it.
    const std::array<float, 3> middle = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, 0};
    const std::array<float, 3> outward = {middle[0] - 1.0f / 3, middle[1] - 1.0f / 3, 0};
    data.positions.push_back({middle[0] + outward[0], middle[1] + outward[1], -3.0f});
    data.faces.push_back({(first + 1) % 3, first, 3});
    return data;
}

} // namespace

TEST(ShadowVolumeTest, ZFailCapsEveryFaceTurnedToTheLightAndZPassNone) {
    const auto cube = buildShadedMesh(sharedCube());
    const Vector3 light{0.3f, 5.0f, 0.2f};
    const int turned = facesTurnedTo(*cube, light);
    ASSERT_EQ(turned, 2);
    const std::vector<Vertex> zPass = volumeOf(*cube, light, true, false);
    const std::vector<Vertex> zFail = volumeOf(*cube, light, false, false);
    EXPECT_EQ(zPass.size(), 4u * 6u) << "a side quad for each silhouette edge: the rim of the top";
    EXPECT_EQ(zFail.size(), zPass.size() + static_cast<std::size_t>(turned * 6));
    // The near cap with the face's winding, then the far cap reversed at infinity.
    EXPECT_EQ(zFail[0].w, 1.0f);
    EXPECT_EQ(zFail[3], (Vertex{zFail[0].x, zFail[0].y, zFail[0].z, 0.0f}));
    EXPECT_EQ(zFail[4], (Vertex{zFail[2].x, zFail[2].y, zFail[2].z, 0.0f}));
    EXPECT_EQ(zFail[5], (Vertex{zFail[1].x, zFail[1].y, zFail[1].z, 0.0f}));
}

// A volume that ends short of infinity is open at its far end unless its far cap is drawn.
TEST(ShadowVolumeTest, AVolumeThatEndsKeepsItsFarCapInZPassCountingToo) {
    const auto cube = buildShadedMesh(sharedCube());
    const Vector3 light{0.3f, 5.0f, 0.2f};
    const std::vector<Vertex> zPass = volumeOf(*cube, light, true, false);
    const std::vector<Vertex> ending = volumeOf(*cube, light, true, false, nullptr, 0.0f, true);
    ASSERT_EQ(ending.size(), zPass.size() + 2u * 3u)
        << "a far cap for each of the two faces turned to the light";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ending[static_cast<std::size_t>(i)].w, 0.0f);
    }
    EXPECT_EQ(volumeOf(*cube, light, false, false, nullptr, 0.0f, true), volumeOf(*cube, light, false, false))
        << "z-fail caps both ends anyway";
}

TEST(ShadowVolumeTest, RobustModeTurnsFacesAwayFromTheLightRoundAndClosesEveryOpenEdge) {
    const auto triangle = buildShadedMesh({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}});
    const Vector3 behind{0.2f, 0.2f, -4.0f};
    EXPECT_TRUE(volumeOf(*triangle, behind, false, false).empty()) << "turned away, not robust";

    const std::vector<Vertex> robust = volumeOf(*triangle, behind, false, true);
    ASSERT_EQ(robust.size(), 6u + 3u * 6u) << "both caps and a side for each open edge";
    const Vertex p0{0, 0, 0, 1}, p1{1, 0, 0, 1}, p2{0, 1, 0, 1};
    EXPECT_EQ(robust[0], p0);
    EXPECT_EQ(robust[1], p2) << "corners 1 and 2 exchanged";
    EXPECT_EQ(robust[2], p1);
    // The first side runs along the first edge backwards: from corner 1 to corner 0.
    EXPECT_EQ(robust[6], p1);
    EXPECT_EQ(robust[7], (Vertex{1, 0, 0, 0}));
    EXPECT_EQ(robust[8], p0);

    const Vector3 above{0.2f, 0.2f, 4.0f};
    EXPECT_EQ(volumeOf(*triangle, above, true, true).size(), 3u * 6u) << "turned to it: its own winding";
    EXPECT_EQ(volumeOf(*triangle, above, true, false).size(), 0u)
        << "without a neighbour an open edge keeps the face's own facing";
}

TEST(ShadowVolumeTest, OpenEdgesOfAClosedMeshFaceFollowTheLastNeighbourBeforeThem) {
    // Above the triangle and far out along +y: the neighbour across the first side faces away from it.
    const Vector3 light{0.3f, 3.0f, 1.0f};
    // Both open sides after that neighbour extrude.
    const auto first = buildShadedMesh(triangleWithNeighbourAcross(0));
    ASSERT_EQ(facesTurnedTo(*first, light), 1);
    EXPECT_EQ(volumeOf(*first, light, true, false).size(), 3u * 6u);
    // Across the last side: the open sides come before it and keep the face's facing.
    const auto last = buildShadedMesh(triangleWithNeighbourAcross(2));
    ASSERT_EQ(facesTurnedTo(*last, light), 1);
    EXPECT_EQ(volumeOf(*last, light, true, false).size(), 1u * 6u);
}

TEST(ShadowVolumeTest, AMorphBlendsTheCornersAndFacesByThem) {
    const auto triangle = buildShadedMesh({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}});
    const OgreModelSubmesh* submesh = triangle->submeshes.begin()->second;
    // The next keyframe lies two units up.
    std::vector<float> next(submesh->positionsAdj, submesh->positionsAdj + 24);
    for (int entry = 0; entry < 6; ++entry) {
        next[static_cast<std::size_t>(entry) * 4 + 2] += 2.0f;
    }
    const std::vector<Vertex> halfway =
        volumeOf(*triangle, {0.2f, 0.2f, 5.0f}, false, false, next.data(), 0.5f);
    ASSERT_EQ(halfway.size(), 6u);
    EXPECT_EQ(halfway[1], (Vertex{1, 0, 1, 1}));
    // Below the blended face but above the stored one: the blended corners decide.
    EXPECT_TRUE(volumeOf(*triangle, {0.2f, 0.2f, 0.5f}, false, false, next.data(), 0.5f).empty());
}

namespace {

// As the shadow pass draws volumes: from positions alone, with a shadow program.
void useShadowProgram(bool geometry) {
    ShaderManager* shaders = ShaderManager::getInstance();
    for (const char* attribute : {"tangent", "binormal"}) {
        const GLint location = shaders->getAttribLocation(attribute);
        if (location >= 0) {
            glDisableVertexAttribArray(static_cast<GLuint>(location));
        }
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    shaders->useProgram(geometry ? shaders->shadowGeometry.get() : shaders->shadow.get());
}

} // namespace

TEST_F(ModelDrawingTest, NoShadowVolumeIsBuiltForALightThatCannotReachTheModel) {
    useShadowProgram(false);
    const float gap = 10.0f - std::sqrt(3.0f);
    LightSource light(gap - 0.01f, 10.0f, 0.0f, 0.0f, 1, 1, 1, 1, 1);
    model->renderShadowVolume(&light, false, false);
    EXPECT_EQ(mesh->submeshes.begin()->second->shadowVertices, nullptr);
    light.radius = gap + 0.01f;
    model->renderShadowVolume(&light, false, false);
    EXPECT_NE(mesh->submeshes.begin()->second->shadowVertices, nullptr);
}

TEST_F(ModelDrawingTest, ShadowVolumesLeaveTheStateAsTheyFoundItAndStaticOnesAreRecordedOnce) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    LightSource light(50.0f, 1.0f, 6.0f, 2.0f, 1, 1, 1, 1, 1);
    for (OgreModelFace* face : mesh->submeshes.begin()->second->faces) {
        const Vector3& corner = face->v1->position->position;
        face->normal =
            (face->v2->position->position - corner).cross(face->v3->position->position - corner).normalized();
    }
    const bool geometry = SystemInfo::getInstance()->geometryShader;
    for (const bool useGeometry : {false, true}) {
        if (useGeometry && !geometry) {
            continue;
        }
        useShadowProgram(useGeometry);
        for (const bool zPass : {false, true}) {
            const GlStateSnapshot before;
            model->renderShadowVolume(&light, useGeometry, zPass);
            EXPECT_EQ(GlStateSnapshot().changesSince(before, GlStateSnapshot::kSetBeforeUse), "")
                << (useGeometry ? "GPU" : "CPU");
        }
    }
    if (geometry) {
        ASSERT_NE(model->shadowDisplayList, nullptr);
        const unsigned int list = *model->shadowDisplayList;
        useShadowProgram(true);
        model->renderShadowVolume(&light, true, false);
        EXPECT_EQ(*model->shadowDisplayList, list) << "one list for every light";

        mesh->animations["idle"] = new OgreModelAnimation();
        OgreModel morphing;
        morphing.mesh = mesh.get();
        morphing.renderShadowVolume(&light, true, false);
        EXPECT_EQ(morphing.shadowDisplayList, nullptr) << "a mesh with animations is drawn directly";
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &buffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
