#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FrameCapture.h"
#include "GlTest.h"
#include "model/OgreModel.h"
#include "render/LightSource.h"
#include "model/OgreSceneMaterial.h"

// A lit, textured, normal-mapped cube seen by a fixed camera with the game's
// per-pixel program current and the client arrays of the array modes enabled.
class ModelDrawingTest : public GlTest {
public:
    static constexpr const char* kTexture = "../textures/checker.png";

protected:
    void SetUp() override;
    void TearDown() override;

    // A cube of half size 1: each side with its own four vertices, normal,
    // tangent, binormal and texture coordinates; edges analysed, arrays built.
    static OgreModelMesh* texturedCube();
    // Registers, selects and applies `light`, and hands the selection to the shader.
    void useLight(LightSource& light);
    void setOptions(int renderMode, bool displayLists);

    // Clears, draws the model with `light` and reads the frame back; saved as name.png.
    FrameCapture draw(OgreModel& model, LightSource* light, const std::string& name);

    std::unique_ptr<OgreModelMesh> mesh;
    std::unique_ptr<OgreModel> model;
    OgreSceneMaterial material;
    LightSource light{15.0f, 2.0f, 3.0f, 4.0f, 0, 1.0f, 0.95f, 0.9f, 1.0f};
};
