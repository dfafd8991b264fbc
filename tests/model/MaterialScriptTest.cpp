#include <gtest/gtest.h>

#include <memory>

#include "TempDataRoot.h"
#include "model/MaterialScript.h"

namespace {

class MaterialScriptTest : public ::testing::Test {
protected:
    ~MaterialScriptTest() override {
        for (const auto& [name, material] : materials) {
            delete material;
        }
    }

    void parse(const std::string& text) {
        MaterialScript::parse(text, "levels/one/", materials,
                              [this](const std::string& name) { textures.push_back(name); });
    }

    // One material with `pass` three levels deep, as exporters write it.
    static std::string material(const std::string& name, const std::string& pass) {
        return "material " + name + "\n{\n technique\n {\n  pass\n  {\n" + pass + "\n  }\n }\n}\n";
    }

    const OgreSceneMaterial& only() const { return *materials.at("M"); }

    MaterialScript::Materials materials;
    std::vector<std::string> textures;
};

TEST_F(MaterialScriptTest, ColourLinesTakeThreeOrFourNumbersAndSpecularItsShininess) {
    parse(
        material("M", "ambient 0.1 0.2 0.3\ndiffuse 0.4 0.5 0.6 0.7 9\nemissive 0.5 0.5\nspecular 1 1 1 32"));
    const OgreSceneMaterial& m = only();
    EXPECT_TRUE(m.ambient.present);
    EXPECT_FLOAT_EQ(m.ambient.b, 0.3f);
    EXPECT_FLOAT_EQ(m.ambient.a, 1.0f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.7f); // a fifth number is ignored
    EXPECT_FALSE(m.emissive.present);   // two numbers are too few
    EXPECT_FLOAT_EQ(m.specular.a, 1.0f);
    EXPECT_FLOAT_EQ(m.shininess, 32.0f);

    parse(material("M", "specular 1 1 1 0.5 32\nambient one 2 x"));
    EXPECT_FLOAT_EQ(only().specular.a, 0.5f);
    EXPECT_FLOAT_EQ(only().shininess, 32.0f);
    EXPECT_FLOAT_EQ(only().ambient.r, 0.0f) << "text where a number belongs reads as 0";
    EXPECT_FLOAT_EQ(only().ambient.g, 2.0f);
}

TEST_F(MaterialScriptTest, TexturesCountFourLevelsDeepAndKeepTheirSpaces) {
    parse(material("M", "texture shallow.png\ntexture_unit\n{\n texture my file.png\n}"));
    EXPECT_TRUE(only().hasTexture);
    EXPECT_EQ(only().texture, "levels/one/textures/my file.png");
    EXPECT_EQ(textures, std::vector<std::string>{"levels/one/textures/my file.png"});
}

TEST_F(MaterialScriptTest, OnlyTwoTokenHeadersMakeMaterialsAndOtherBlocksAreSkipped) {
    parse(material("Base : Parent", "diffuse 1 0 0") + material("Plain", "diffuse 0 1 0") +
          "fragment_program x glsl\n{\n{\n{\ndiffuse 1 1 1\n}\n}\n}\n" + material("Plain", "ambient 1 1 1"));
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_FALSE(materials.at("Plain")->diffuse.present) << "a later block of the same name replaces";
    EXPECT_TRUE(materials.at("Plain")->ambient.present);
}

TEST_F(MaterialScriptTest, CrlfTabsAndStrayBracesAreTolerated) {
    parse(
        "}\r\n}\r\nmaterial\tM\r\n{\r\n\ttechnique\r\n\t{\r\n\t\tpass\r\n\t\t{\r\n\t\t\tdiffuse\t1 0.5 0\r\n"
        "\t\t}\r\n\t}\r\n}\r\n");
    EXPECT_TRUE(only().diffuse.present);
    EXPECT_FLOAT_EQ(only().diffuse.g, 0.5f);
}

TEST_F(MaterialScriptTest, Utf16FilesReadLikeTheirUtf8Form) {
    const TempDataRoot root;
    const std::string text = material("M", "diffuse 0.25 0.5 1");
    std::string bigEndian = "\xFE\xFF";
    std::string littleEndianWithoutMark;
    for (char c : text) {
        bigEndian += std::string{'\0', c};
        littleEndianWithoutMark += std::string{c, '\0'};
    }
    for (const std::string& bytes : {bigEndian, littleEndianWithoutMark, "\xEF\xBB\xBF" + text}) {
        for (const auto& [name, material] : materials) {
            delete material;
        }
        materials.clear();
        root.write("m.material", bytes);
        ASSERT_TRUE(MaterialScript::parseFile("../m.material", "", materials, nullptr));
        ASSERT_EQ(materials.count("M"), 1u);
        EXPECT_FLOAT_EQ(only().diffuse.r, 0.25f);
    }
    EXPECT_FALSE(MaterialScript::parseFile("../absent.material", "", materials, nullptr));
    EXPECT_EQ(MaterialScript::pathFor("levels/one/one.scene"), "levels/one/one.material");
}

} // namespace
