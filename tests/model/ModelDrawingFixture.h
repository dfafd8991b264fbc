#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GlTest.h"
#include "model/OgreModel.h"
#include "render/LightSource.h"
#include "scene/OgreSceneMaterial.h"

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

    struct Image {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> rgba;
        const unsigned char* at(int x, int y) const {
            return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
        }
        int litPixels() const;
        // Mean column of the lit pixels.
        double litCentreX() const;
    };
    // Clears, draws the model with `light` and reads the frame back; written as
    // PNG into $VORN_TEST_IMAGES when that is set.
    Image draw(OgreModel& model, LightSource* light, const std::string& name);
    // Largest difference of any channel of any pixel.
    static int largestDifference(const Image& a, const Image& b);

    std::unique_ptr<OgreModelMesh> mesh;
    std::unique_ptr<OgreModel> model;
    OgreSceneMaterial material;
    LightSource light{15.0f, 2.0f, 3.0f, 4.0f, 0, 1.0f, 0.95f, 0.9f, 1.0f};
};
