#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FrameCapture.h"
#include "GlTest.h"
#include "MeshFixtures.h"
#include "model/OgreModel.h"
#include "render/LightSource.h"
#include "model/OgreSceneMaterial.h"
#include "scene/SceneRenderer.h"

// A small level drawn as the game draws one: the game's fixed state, its
// infinite projection on the 640x480 window, its shaders and light selection,
// and the scene passes over the models placed here.
class SceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A model of `data` (an owned copy of the mesh) at `position`, in a white material.
    OgreModel& place(const MeshData& data, const Vector3& position, bool transparent = false,
                     bool receiveShadows = true, bool castShadows = true);
    // The view from `eye` towards `centre`, with the lights chosen for it.
    void look(const Vector3& eye, const Vector3& centre);
    // A light of the level; slot 0 is the main character's.
    LightSource& addLight(const Vector3& position, float radius, int slot);
    void setOptions(bool shadows, bool geometryShader, bool zPass, bool scissor);

    // Clears, draws the scene passes and reads the frame back with its depth; saved as name.png.
    FrameCapture frame(const std::string& name, bool segmentBlocked = false);
    // Window position and depth of a world point in the current view.
    std::array<double, 3> project(const Vector3& point) const;

    SceneRenderer renderer{SceneRenderer::Capabilities{}}; // the driver's once the window is up
    OgreSceneMaterial white;
    std::vector<SceneObject> objects;

private:
    std::vector<std::unique_ptr<OgreModelMesh>> meshes;
    std::vector<std::unique_ptr<OgreModel>> models;
    std::vector<std::unique_ptr<LightSource>> lights;
    double view[16] = {};
    double projection[16] = {};
};
