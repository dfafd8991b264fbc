#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

#include "GlStateSnapshot.h"
#include "ModelDrawingFixture.h"
#include "core/ConfigManager.h"
#include "render/ShaderManager.h"
#include "render/TextureLoader.h"

namespace {

GLint boundTextureParameter(GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, *TextureLoader::getInstance()->getTexture(ModelDrawingTest::kTexture)->glId);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint uniformValue(const char* name) {
    const GLuint program = ShaderManager::getInstance()->perPixel->program;
    GLint value = -99;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

} // namespace

TEST_F(ModelDrawingTest, EveryRenderModeWithAndWithoutListsDrawsTheSameLitTexturedBumpedCube) {
    setOptions(0, false);
    const FrameCapture reference = draw(*model, nullptr, "cube-immediate");
    ASSERT_GT(reference.litPixels(), 20000) << "the cube fills a good part of the window";

    // Texture and lighting both show: orange and blue squares, and a bright and a dim side.
    int orange = 0;
    int blue = 0;
    for (std::size_t i = 0; i < reference.rgba.size(); i += 4) {
        orange += reference.rgba[i] > reference.rgba[i + 2] + 60 ? 1 : 0;
        blue += reference.rgba[i + 2] > reference.rgba[i] + 60 ? 1 : 0;
    }
    EXPECT_GT(orange, 3000);
    EXPECT_GT(blue, 3000);

    for (const bool lists : {false, true}) {
        for (const int mode : {0, 1, 2}) {
            setOptions(mode, lists);
            const std::string name = "cube-mode" + std::to_string(mode) + (lists ? "-list" : "");
            // Twice: the first draw with lists compiles, the second replays.
            draw(*model, nullptr, name);
            const FrameCapture image = draw(*model, nullptr, name);
            EXPECT_LE(reference.largestDifference(image), 2) << name;
            if (lists && mode != 2) {
                ASSERT_NE(model->displayList, nullptr) << name;
                EXPECT_EQ(model->listRenderMode, mode) << name;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelDrawingTest, NormalMapShapesTheLight) {
    setOptions(1, false);
    const FrameCapture bumped = draw(*model, nullptr, "cube-bumped");
    TextureLoader::getInstance()->getTexture(kTexture)->hasBump = false;
    const FrameCapture flat = draw(*model, nullptr, "cube-flat");
    EXPECT_GT(bumped.largestDifference(flat), 40);
    EXPECT_EQ(bumped.litPixels(), flat.litPixels()) << "the bump map changes shading, not the outline";
}

TEST_F(ModelDrawingTest, LightWhoseSphereMissesTheModelDrawsNothing) {
    setOptions(1, false);
    // The light's sphere ends just short of the model's bounding sphere.
    LightSource far(10.0f - std::sqrt(3.0f) - 0.01f, 10.0f, 0.0f, 0.0f, 1, 1, 1, 1, 1);
    EXPECT_EQ(draw(*model, &far, "cube-far-light").litPixels(), 0);
    far.radius += 0.02f;
    EXPECT_GT(draw(*model, &far, "cube-near-light").litPixels(), 0);

    LightSource reaching(20.0f, 10.0f, 0.0f, 0.0f, 2, 1, 1, 1, 1);
    LightSource missing(1.0f, 10.0f, 0.0f, 0.0f, 3, 1, 1, 1, 1);
    int drawn = 0;
    for (const std::vector<LightSource*>& lights :
         {std::vector<LightSource*>{}, {&reaching}, {&reaching, &missing}, {&missing}}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model->renderIfInRange(lights);
        std::vector<unsigned char> centre(4);
        glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre.data());
        drawn += centre[0] + centre[1] + centre[2] > 0 ? 1 : 0;
    }
    EXPECT_EQ(drawn, 3) << "with no light or with any light reaching the model";
}

TEST_F(ModelDrawingTest, UntexturedMaterialDrawsItsColourAndLeavesTexturingOn) {
    material.hasTexture = false;
    material.diffuse = {true, 0.1f, 0.9f, 0.2f, 1.0f};
    material.ambient = {true, 0.1f, 0.9f, 0.2f, 1.0f};
    for (const bool lists : {false, true}) {
        setOptions(1, lists);
        const FrameCapture image = draw(*model, nullptr, lists ? "cube-untextured-list" : "cube-untextured");
        int greenish = 0;
        int lit = 0;
        for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
            if (image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2] > 0) {
                ++lit;
                greenish +=
                    image.rgba[i + 1] > image.rgba[i] && image.rgba[i + 1] > image.rgba[i + 2] ? 1 : 0;
            }
        }
        EXPECT_GT(lit, 20000);
        EXPECT_GT(greenish, lit * 95 / 100) << "no orange or blue squares";
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(uniformValue("textureMode"), 0);
        EXPECT_EQ(uniformValue("hasBump"), 0);
    }
}

TEST_F(ModelDrawingTest, ChangingTheFilterOptionsRecompilesTheDisplayList) {
    Config* options = ConfigManager::getInstance()->getMainConfig();
    setOptions(1, true);
    options->textureQuality = 1;
    options->mipmapQuality = 2;
    draw(*model, nullptr, "cube-filter-bilinear");
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);

    // The old list would set the filters it was compiled with; a new one sets the new ones.
    options->textureQuality = 0;
    draw(*model, nullptr, "cube-filter-nearest");
    EXPECT_EQ(model->listTextureFilter, 0);
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);

    options->mipmapQuality = 0;
    draw(*model, nullptr, "cube-filter-nomipmap");
    EXPECT_EQ(model->listMipmapMode, 0);
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);

    options->mipmapQuality = 1;
    options->textureQuality = 1;
    draw(*model, nullptr, "cube-filter-mipmap-nearest");
    EXPECT_EQ(boundTextureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(ModelDrawingTest, MorphAnimationBlendsBetweenKeyframes) {
    // Keyframe 1 moves the cube one unit to the right; keyframe 2 closes the loop.
    OgreModelSubmesh* submesh = mesh->submeshes.begin()->second;
    auto* animation = new OgreModelAnimation();
    animation->name = "slide";
    animation->length = 2.0f;
    auto* track = new OgreModelTrack();
    const std::vector<OgreModelVertex*>& vertices = submesh->geometry->vertexBuffers.front()->vertices;
    for (const float shift : {0.0f, 1.0f, 0.0f}) {
        auto* keyframe = new OgreModelKeyframe();
        keyframe->time = shift == 1.0f ? 1.0f : (track->keyframes.empty() ? 0.0f : 2.0f);
        for (const OgreModelVertex* vertex : vertices) {
            auto* position = new OgreModelVertexPosition(*vertex->position);
            position->position.x += shift;
            keyframe->positions.push_back(position);
        }
        track->keyframes.push_back(keyframe);
    }
    animation->tracks.push_back(track);
    mesh->animations["slide"] = animation;
    submesh->tracks["slide"] = track;
    model->setAnimation("slide");
    ASSERT_EQ(model->currentAnimation, "slide");

    setOptions(1, true);
    model->updateAnimation();
    const double start = draw(*model, nullptr, "cube-morph-start").litCentreX();
    EXPECT_EQ(model->displayList, nullptr) << "a playing animation is drawn directly";
    for (int update = 1; update < 60; ++update) {
        model->updateAnimation();
    }
    EXPECT_NEAR(model->playback.at(submesh).blendFactor, 1.0f, 1e-4f);
    const double full = draw(*model, nullptr, "cube-morph-full").litCentreX();
    for (int update = 0; update < 30; ++update) {
        model->updateAnimation();
    }
    EXPECT_NEAR(model->playback.at(submesh).blendFactor, 0.5f, 1e-4f);
    const double half = draw(*model, nullptr, "cube-morph-back-half").litCentreX();

    // One unit at the cube's distance is about 80 pixels of outline centre in this view.
    EXPECT_GT(full - start, 60.0);
    EXPECT_NEAR(half - start, (full - start) / 2.0, 6.0);
}

TEST_F(ModelDrawingTest, DrawingPutsBackTheStateItChanges) {
    setOptions(0, false);
    const FrameCapture reference = draw(*model, nullptr, "cube-reference");
    // What another drawer may have left: a buffer of its own, a colour, texturing off, unit 1 active.
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, 4096, nullptr, GL_STATIC_DRAW);
    glColor4f(0.2f, 0.4f, 0.6f, 1.0f);
    for (const bool lists : {false, true}) {
        for (const int mode : {0, 1, 2}) {
            setOptions(mode, lists);
            const std::string name =
                "cube-foreign-state-mode" + std::to_string(mode) + (lists ? "-list" : "");
            glEnable(GL_TEXTURE_2D);
            EXPECT_LE(reference.largestDifference(draw(*model, nullptr, name)), 2)
                << name << ": client arrays are not read from someone else's buffer";
            glDisable(GL_TEXTURE_2D);
            glActiveTexture(GL_TEXTURE1);
            const GlStateSnapshot before;
            model->render(nullptr);
            EXPECT_EQ(GlStateSnapshot().changesSince(before, GlStateSnapshot::kSetBeforeUse), "") << name;
            glActiveTexture(GL_TEXTURE0);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, &buffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelDrawingTest, ALaterColourCallLeavesTheMaterialAlone) {
    material.emissive = {true, 0.1f, 0.2f, 0.3f, 1.0f};
    for (const bool lists : {false, true}) {
        setOptions(1, lists);
        model->render(nullptr);
        // The overlay's text colour, say: with emission still tracked it would glow red.
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        float emission[4] = {};
        float specular[4] = {};
        glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
        glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        EXPECT_FLOAT_EQ(emission[0], 0.1f);
        EXPECT_FLOAT_EQ(emission[2], 0.3f);
        EXPECT_FLOAT_EQ(specular[0], 0.5f);
    }
}

TEST_F(ModelDrawingTest, ATextureFirstNeededByADisplayListIsUploadedBeforeTheListIsRecorded) {
    Config* options = ConfigManager::getInstance()->getMainConfig();
    options->mipmapQuality = 0; // level 0 only, so a replaced image shows at once
    setOptions(1, true);
    // Registered, not uploaded: the first draw compiles the list and needs the texture.
    TextureLoader::destroy();
    TextureLoader::getInstance()->addTexture(kTexture, GL_REPEAT);
    const FrameCapture first = draw(*model, nullptr, "cube-list-texture-first");
    const TextureLoader::Texture* texture = TextureLoader::getInstance()->getTexture(kTexture);
    ASSERT_TRUE(texture && texture->glId && *texture->glId);

    // Paint the texture green: a list that uploads again at every call would bring the squares back.
    std::vector<unsigned char> green(64 * 64 * 4);
    for (std::size_t i = 0; i < green.size(); i += 4) {
        green[i + 1] = 255;
        green[i + 3] = 255;
    }
    glBindTexture(GL_TEXTURE_2D, *texture->glId);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, green.data());
    const FrameCapture painted = draw(*model, nullptr, "cube-list-texture-painted");
    int orange = 0;
    int greenish = 0;
    for (std::size_t i = 0; i < painted.rgba.size(); i += 4) {
        orange += painted.rgba[i] > painted.rgba[i + 2] + 60 ? 1 : 0;
        greenish +=
            painted.rgba[i + 1] > painted.rgba[i] + 20 && painted.rgba[i + 1] > painted.rgba[i + 2] + 20;
    }
    EXPECT_GT(first.litPixels(), 20000);
    EXPECT_EQ(orange, 0);
    EXPECT_GT(greenish, 15000);
}
