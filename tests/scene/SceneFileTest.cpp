#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "LevelFixture.h"
#include "scene/OgreLoader.h"
#include "model/OgreModel.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"

namespace {

class SceneFileTest : public LevelFixture {
protected:
    // Reads scene text as the game does, without models, textures or physics.
    std::unique_ptr<OgreScene> read(const std::string& xml) {
        auto scene = std::make_unique<OgreScene>("levels/x/x.scene");
        OgreLoader::getInstance()->loadSceneXML(*scene, XMLNode::parseText(xml, "scene"), false);
        return scene;
    }

    static std::string nodeXml(const std::string& inner, const std::string& name = "N") {
        return "<scene><nodes><node name=\"" + name + "\">" + inner + "</node></nodes></scene>";
    }
};

TEST_F(SceneFileTest, MissingPartsTakeTheirDefaultsAndUnknownOnesAreIgnored) {
    const auto scene =
        read("<Scene upAxis=\"z\" colour=\"red\"><nodes><node name=\"A\"><gadget/>"
             "<entity name=\"A[crate]\" castShadows=\"True\" receiveShadows=\"1\"/></node>"
             "<node name=\"B\"><position x=\"abc\" y=\"2\"/><entity name=\"B\" castShadows=\"true\">"
             "<subentities><subentity materialName=\"Stone\"/></subentities></entity></node>"
             "<node name=\"C\"/></nodes></Scene>");
    EXPECT_EQ(scene->upAxis, 1);
    EXPECT_FLOAT_EQ(scene->unitsPerMeter, 1.0f);
    EXPECT_EQ(scene->environment, nullptr);
    ASSERT_EQ(scene->nodes.size(), 3u);
    const OgreSceneNode& a = *scene->nodes.at("A");
    EXPECT_FLOAT_EQ(a.scaleY, 1.0f);
    EXPECT_FLOAT_EQ(a.qw, 1.0f);
    ASSERT_NE(a.entity, nullptr);
    EXPECT_FALSE(a.entity->castShadows) << "only the exact text true is true";
    EXPECT_FALSE(a.entity->receiveShadows);
    EXPECT_EQ(a.entity->model, nullptr);
    const OgreSceneNode& b = *scene->nodes.at("B");
    EXPECT_FLOAT_EQ(b.posX, 0.0f);
    EXPECT_FLOAT_EQ(b.posY, 2.0f);
    EXPECT_TRUE(b.entity->castShadows);
    EXPECT_TRUE(b.entity->receiveShadows);
    EXPECT_EQ(b.entity->subentities.at(0)->index, 0);
    EXPECT_EQ(b.entity->subentities.at(0)->material, nullptr) << "no material file was read";
    EXPECT_EQ(scene->nodes.at("C")->entity, nullptr);
}

TEST_F(SceneFileTest, EmptyBrokenAndNonXmlFilesGiveAnEmptyScene) {
    for (const std::string text : {"", "not xml at all", "<scene><nodes><node name=\"A\">", "<other/>"}) {
        const auto scene = read(text);
        EXPECT_LE(scene->nodes.size(), 1u) << text;
        EXPECT_FLOAT_EQ(scene->formatVersion, 1.0f);
    }
    EXPECT_EQ(read("<scene><nodes><node name=\"A\"><entity name=\"E\"/>")->nodes.size(), 1u)
        << "a missing end tag keeps what was read";
}

TEST_F(SceneFileTest, TheLaterOfTwoNodesOfOneNameWins) {
    const auto scene = read("<scene><nodes><node name=\"A\"><position x=\"1\"/></node>"
                            "<node name=\"A\"><position x=\"2\"/></node></nodes></scene>");
    ASSERT_EQ(scene->nodes.size(), 1u);
    EXPECT_FLOAT_EQ(scene->nodes.at("A")->posX, 2.0f);
}

TEST_F(SceneFileTest, RotationsAreUnitQuaternionsAndNumbersThatAreNotFiniteFallBack) {
    const auto rotationOf = [this](const std::string& attributes) {
        const auto scene = read(nodeXml("<rotation " + attributes + "/><position x=\"nan\" y=\"1e999\"/>"));
        const OgreSceneNode& node = *scene->nodes.at("N");
        EXPECT_FLOAT_EQ(node.posX, 0.0f);
        EXPECT_FLOAT_EQ(node.posY, 0.0f);
        return std::vector<float>{node.qx, node.qy, node.qz, node.qw};
    };
    EXPECT_EQ(rotationOf("qx=\"0\" qy=\"0\" qz=\"0\" qw=\"0\""), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(rotationOf("qx=\"nan\" qw=\"1\""), (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(rotationOf("qx=\"inf\" qw=\"1\""), (std::vector<float>{0, 0, 0, 1}));
    const std::vector<float> halfTurn = rotationOf("qy=\"2\" qw=\"0\"");
    EXPECT_FLOAT_EQ(halfTurn[1], 1.0f);
    EXPECT_FLOAT_EQ(halfTurn[3], 0.0f);
}

TEST_F(SceneFileTest, PathsFollowTheSceneFolder) {
    EXPECT_EQ(OgreLoader::meshPath("levels/one/one.scene", "a.mesh"), "levels/one/models/a.mesh");
    EXPECT_EQ(OgreLoader::meshPath("one.scene", "a.mesh"), "models/a.mesh");
    EXPECT_EQ(OgreLoader::sceneDirectory("levels\\one\\one.scene"), "levels\\one\\");
    EXPECT_EQ(OgreScene::profileOf("Box01[crate]"), "crate");
    EXPECT_EQ(OgreScene::profileOf("Box01"), "");
    EXPECT_EQ(OgreScene::profileOf("Box]01[crate"), "");
    EXPECT_EQ(OgreScene::profileOf("a[b[c]d]"), "b[c");
}

TEST_F(SceneFileTest, Utf16SceneFileReadsLikeItsUtf8Form) {
    const std::string path = writeLevel("one", standardNodes());
    const std::string text = data.read("levels/one/one.scene");
    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += std::string{c, '\0'};
    }
    data.write("levels/one/one.scene", utf16);
    OgreScene scene(path);
    OgreLoader::getInstance()->loadSceneFiles(scene, false);
    EXPECT_EQ(scene.nodes.size(), standardNodes().size());
    EXPECT_EQ(scene.materials.size(), 2u);
    EXPECT_NE(scene.nodes.at("Pad")->entity->subentities.at(0)->material, nullptr);
}

TEST_F(SceneFileTest, EachModelKeepsTheMaterialsOfItsOwnLevelAndTheSharedMeshStaysUntouched) {
    const std::string red = "material Stone\n{\n{\n{\ndiffuse 1 0 0\n}\n}\n}\n";
    const std::string blue = "material Stone\n{\n{\n{\ndiffuse 0 0 1\n}\n}\n}\n";
    const std::string one = writeLevel("one", {{"Box", "Box", "cube.mesh"}}, red);
    data.write("levels/one/two.scene", data.read("levels/one/one.scene"));
    data.write("levels/one/two.material", blue);
    OgreScene first(one);
    OgreScene second("../levels/one/two.scene");
    OgreLoader::getInstance()->loadSceneFiles(first, true);
    OgreLoader::getInstance()->loadSceneFiles(second, true);
    const OgreModel& a = *first.nodes.at("Box")->entity->model;
    const OgreModel& b = *second.nodes.at("Box")->entity->model;
    ASSERT_EQ(a.mesh, b.mesh) << "one mesh shared by both levels";
    const OgreModelSubmesh* submesh = a.mesh->submeshes.begin()->second;
    EXPECT_FLOAT_EQ(a.getMaterial(submesh)->diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(b.getMaterial(submesh)->diffuse.b, 1.0f);
    EXPECT_EQ(OgreModel(b).getMaterial(submesh), b.getMaterial(submesh)) << "a game object keeps them";
    EXPECT_EQ(TextureLoader::getInstance()->countPending(), 0) << "neither level names a texture";
}

} // namespace
