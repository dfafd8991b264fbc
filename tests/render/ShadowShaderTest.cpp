#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "GlTest.h"
#include "MeshFixtures.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"
#include "model/ShadowVolume.h"
#include "render/Matrix44.h"
#include "render/ShaderManager.h"
#include "render/SystemInfo.h"

namespace {

constexpr float kLight[3] = {0.0f, 5.0f, 0.0f};
constexpr float kFloor = -1.5f;

// A floor and a cube of half size 1 above it, drawn into the depth buffer only,
// seen from above and in front with the game's infinite projection.
void drawReceivers() {
    glMatrixMode(GL_PROJECTION);
    const float top = 0.005f * 0.6f;
    const float right = top * 640.0f / 480.0f;
    glLoadMatrixf(Matrix44::perspective(-right, right, -top, top, 0.005f, Matrix44::kInfinity, false).m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 7.0, 9.0, 0.0, -1.0, 0.0, 0.0, 1.0, 0.0);
    glUseProgram(0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glVertex3f(-20, kFloor, 20);
    glVertex3f(20, kFloor, 20);
    glVertex3f(20, kFloor, -20);
    glVertex3f(-20, kFloor, -20);
    glEnd();
}

// Stencil counting as the scene's shadow pass does it, two-sided in one drawing.
void beginStencilPass(bool zPass) {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, ~0u);
    glDisable(GL_CULL_FACE);
    if (zPass) {
        glStencilOpSeparate(GL_FRONT, GL_KEEP, GL_KEEP, GL_INCR_WRAP);
        glStencilOpSeparate(GL_BACK, GL_KEEP, GL_KEEP, GL_DECR_WRAP);
    } else {
        glStencilOpSeparate(GL_FRONT, GL_KEEP, GL_DECR_WRAP, GL_KEEP);
        glStencilOpSeparate(GL_BACK, GL_KEEP, GL_INCR_WRAP, GL_KEEP);
    }
}

void endStencilPass() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glDisable(GL_STENCIL_TEST);
    glUseProgram(0);
}

int stencilAt(float x, float y, float z) {
    double model[16];
    double projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double wx = 0.0;
    double wy = 0.0;
    double wz = 0.0;
    gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
    GLubyte value = 0;
    glReadPixels(static_cast<int>(wx), static_cast<int>(wy), 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE,
                 &value);
    return value;
}

// The light sits above the cube: its shadow covers the floor right below and
// nothing two units beyond the cube's reach; the camera is outside every volume.
void expectCubeShadow(const std::string& what) {
    EXPECT_NE(stencilAt(0.0f, kFloor, 0.0f), 0) << what;
    EXPECT_NE(stencilAt(1.2f, kFloor, 0.8f), 0) << what;
    EXPECT_EQ(stencilAt(3.5f, kFloor, 0.0f), 0) << what;
    EXPECT_EQ(stencilAt(-3.5f, kFloor, 2.0f), 0) << what;
    EXPECT_EQ(stencilAt(0.0f, kFloor, 6.0f), 0) << what;
}

} // namespace

class ShadowShaderTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return; // no window, nothing to draw into
        }
        std::filesystem::copy(std::filesystem::path(VORN_SOURCE_DIR) / "data" / "shaders",
                              data->root() / "shaders");
        data->write("Vorn.ini", "[GameSettings]\nshader = true\n");
        ShaderManager::getInstance()->loadShaders();
        GLint stencilBits = 0;
        glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
        ASSERT_GT(stencilBits, 0);
    }
    void TearDown() override {
        ShaderManager::destroy();
        GlTest::TearDown();
    }

    // Light position in eye space, as the shadow pass hands it to the geometry program.
    static std::array<float, 3> eyeLight() {
        float view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        Matrix44 matrix;
        std::copy(view, view + 16, matrix.m);
        const Vector3 eye = matrix.transform({kLight[0], kLight[1], kLight[2]});
        return {eye.x, eye.y, eye.z};
    }

    void drawGeometryVolume(const OgreModelMesh& mesh, bool robust, bool zPass, float reach = 0.0f) {
        ShaderManager* shaders = ShaderManager::getInstance();
        shaders->useProgram(shaders->shadowGeometry.get());
        const auto light = eyeLight();
        shaders->setUniform3f("lightPos", light[0], light[1], light[2]);
        shaders->setUniform1i("robust", robust ? 1 : 0);
        shaders->setUniform1i("zpass", zPass ? 1 : 0);
        shaders->setUniform1f("reach", reach);
        shaders->setUniform1f("animationfactor", 0.0f);
        const OgreModelSubmesh& submesh = *mesh.submeshes.begin()->second;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(4, GL_FLOAT, 0, submesh.positionsAdj);
        glDrawArrays(GL_TRIANGLES_ADJACENCY_EXT, 0, static_cast<GLsizei>(submesh.faces.size() * 6));
        glDisableClientState(GL_VERTEX_ARRAY);
    }
};

TEST_F(ShadowShaderTest, GeometryProgramCastsTheCubesShadowWithZFailAndZPass) {
    if (!SystemInfo::getInstance()->geometryShader) {
        GTEST_SKIP() << "no geometry shaders on this driver";
    }
    const auto cube = buildMeshWithArrays(sharedCube());
    for (const bool zPass : {false, true}) {
        for (const bool robust : {false, true}) {
            drawReceivers();
            beginStencilPass(zPass);
            drawGeometryVolume(*cube, robust, zPass);
            endStencilPass();
            expectCubeShadow(std::string(zPass ? "z-pass" : "z-fail") + (robust ? ", robust" : ""));
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowShaderTest, RobustGeometryVolumeStaysClosedOverAnOpenBox) {
    if (!SystemInfo::getInstance()->geometryShader) {
        GTEST_SKIP() << "no geometry shaders on this driver";
    }
    // The side facing +y (the two faces of the third side pair) is missing: the light looks into the box.
    MeshData box = sharedCube();
    box.faces.erase(box.faces.begin() + 4, box.faces.begin() + 6);
    const auto mesh = buildMeshWithArrays(box);
    ASSERT_TRUE(mesh->hasCracks);
    drawReceivers();
    beginStencilPass(false);
    drawGeometryVolume(*mesh, true, false);
    endStencilPass();
    expectCubeShadow("open box, robust z-fail");
}

TEST_F(ShadowShaderTest, VertexProgramSendsFarVerticesAwayFromTheLight) {
    // One triangle facing the light, extruded by hand as the CPU path does:
    // near cap, far cap reversed at infinity, and a side quad per edge.
    const std::array<float, 3> corners[3] = {{-1.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.2f}};
    std::vector<float> volume;
    const auto add = [&](const std::array<float, 3>& p, float w) {
        volume.insert(volume.end(), {p[0], p[1], p[2], w});
    };
    add(corners[0], 1);
    add(corners[1], 1);
    add(corners[2], 1);
    add(corners[0], 0);
    add(corners[2], 0);
    add(corners[1], 0);
    for (int k = 0; k < 3; ++k) {
        const auto& start = corners[k];
        const auto& end = corners[(k + 1) % 3];
        add(start, 1);
        add(start, 0);
        add(end, 1);
        add(end, 1);
        add(start, 0);
        add(end, 0);
    }
    ShaderManager* shaders = ShaderManager::getInstance();
    for (const bool zPass : {false, true}) {
        drawReceivers();
        beginStencilPass(zPass);
        shaders->useProgram(shaders->shadow.get());
        shaders->setUniform3f("lightInObjectSpace", kLight[0], kLight[1], kLight[2]);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(4, GL_FLOAT, 0, volume.data());
        // Z-pass counting needs no caps: leave out the first six vertices.
        const int first = zPass ? 6 : 0;
        glDrawArrays(GL_TRIANGLES, first, static_cast<GLsizei>(volume.size() / 4) - first);
        glDisableClientState(GL_VERTEX_ARRAY);
        endStencilPass();
        EXPECT_NE(stencilAt(0.0f, kFloor, 0.0f), 0);
        EXPECT_EQ(stencilAt(3.0f, kFloor, 0.0f), 0);
        EXPECT_EQ(stencilAt(0.0f, kFloor, 5.0f), 0);
    }
}

// The ball's own light hangs just above it: its volume ends a few units from the light, so
// the shadow falls on ground close under the caster and on nothing farther down. The floor
// lies 6.5 below the light, the cube's bottom 4.
TEST_F(ShadowShaderTest, AVolumeWithAReachEndsThatFarFromTheLightInBothProgramsAndCountings) {
    const auto cube = buildShadedMesh(sharedCube());
    const OgreModelSubmesh& submesh = *cube->submeshes.begin()->second;
    const Vector3 light{kLight[0], kLight[1], kLight[2]};
    ShaderManager* shaders = ShaderManager::getInstance();
    const bool geometry = SystemInfo::getInstance()->geometryShader;
    for (const bool onGpu : {false, true}) {
        if (onGpu && !geometry) {
            continue;
        }
        for (const bool zPass : {false, true}) {
            for (const float reach : {0.0f, 10.0f, 5.5f}) {
                drawReceivers();
                beginStencilPass(zPass);
                if (onGpu) {
                    drawGeometryVolume(*cube, false, zPass, reach);
                } else {
                    std::vector<float> volume(submesh.faces.size() * ShadowVolume::kFloatsPerFace);
                    const int count = ShadowVolume::build({&submesh, submesh.positionsAdj, nullptr, 0.0f},
                                                          light, zPass, false, volume.data(), reach > 0.0f);
                    shaders->useProgram(shaders->shadow.get());
                    shaders->setUniform3f("lightInObjectSpace", light.x, light.y, light.z);
                    shaders->setUniform1f("reach", reach);
                    glEnableClientState(GL_VERTEX_ARRAY);
                    glVertexPointer(4, GL_FLOAT, 0, volume.data());
                    glDrawArrays(GL_TRIANGLES, 0, count);
                    glDisableClientState(GL_VERTEX_ARRAY);
                }
                endStencilPass();
                const std::string what = std::string(onGpu ? "geometry" : "vertex") +
                                         (zPass ? ", z-pass" : ", z-fail") + ", reach " +
                                         std::to_string(reach);
                // The line of sight to the floor behind the cube crosses the volume: it must leave it again.
                const int behind = stencilAt(0.0f, kFloor, -1.4f);
                if (reach == 0.0f || reach > 7.0f) {
                    expectCubeShadow(what);
                    EXPECT_NE(behind, 0) << what;
                } else {
                    EXPECT_EQ(stencilAt(0.0f, kFloor, 0.0f), 0) << what;
                    EXPECT_EQ(stencilAt(1.2f, kFloor, 0.8f), 0) << what;
                    EXPECT_EQ(behind, 0) << what;
                }
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
