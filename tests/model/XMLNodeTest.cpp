#include <gtest/gtest.h>

#include <string>

#include "TempDataRoot.h"
#include "model/XMLNode.h"

namespace {

const std::string kScene = "<Scene formatVersion=\"1\">\n"
                           "  <nodes>\n"
                           "    <node name=\"Box\" Name=\"shadowed\">\n"
                           "      <Position x=\"1\" y=\"2\" z=\"3\"/>\n"
                           "      <position x=\"9\" y=\"9\" z=\"9\"/>\n"
                           "      <subentity index=\"0\"/><SubEntity index=\"1\"/>\n"
                           "    </node>\n"
                           "  </nodes>\n"
                           "</Scene>\n";

std::string utf16(const std::string& ascii, bool littleEndian, bool byteOrderMark) {
    std::string text;
    if (byteOrderMark) {
        text += littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    }
    for (const char c : ascii) {
        text += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    }
    return text;
}

} // namespace

class XMLNodeTest : public ::testing::Test {
protected:
    XMLNode parse(const std::string& content, const char* tag) {
        return XMLNode::parseFile(data.write("file.xml", content).string(), tag);
    }

    TempDataRoot data;
};

TEST_F(XMLNodeTest, LookupsIgnoreCaseAndTakeTheFirstMatch) {
    const XMLNode scene = parse(kScene, "scene");
    ASSERT_FALSE(scene.isEmpty());
    EXPECT_STREQ(scene.getAttribute("FORMATVERSION"), "1");

    const XMLNode node = scene.getChildNode("Nodes").getChildNode("NODE");
    EXPECT_STREQ(node.getAttribute("name"), "Box") << "the first attribute of that name counts";
    EXPECT_EQ(node.nChildNode("position"), 2);
    EXPECT_STREQ(node.getChildNode("position").getAttribute("x"), "1");
    EXPECT_STREQ(node.getChildNode("POSITION", 1).getAttribute("x"), "9");
    EXPECT_EQ(node.getChildNodes("subentity").size(), 2u);
    EXPECT_STREQ(node.getChildNode("subentity", 1).getAttribute("index"), "1");
}

TEST_F(XMLNodeTest, MissingThingsGiveEmptyHandlesWithNothingInThem) {
    const XMLNode node = parse(kScene, "scene").getChildNode("nodes").getChildNode("node");
    const XMLNode third = node.getChildNode("subentity", 2);
    EXPECT_TRUE(third.isEmpty());
    EXPECT_FALSE(third.isAttributeSet("index"));
    EXPECT_EQ(third.getAttribute("index"), nullptr);
    EXPECT_EQ(third.nChildNode("anything"), 0);
    EXPECT_TRUE(third.getChildNode("anything").isEmpty());
    EXPECT_TRUE(node.getChildNode("subentity", -1).isEmpty());
    EXPECT_FALSE(node.isAttributeSet("colour"));
}

TEST_F(XMLNodeTest, TagBelowTheTopElementIsFoundAmongItsChildren) {
    const XMLNode nodes = parse(kScene, "nodes");
    ASSERT_FALSE(nodes.isEmpty());
    EXPECT_EQ(nodes.nChildNode("node"), 1);
    EXPECT_TRUE(parse(kScene, "mesh").isEmpty());
}

TEST_F(XMLNodeTest, ChildOutlivesTheHandleItCameFrom) {
    XMLNode position;
    {
        const XMLNode scene = parse(kScene, "scene");
        position = scene.getChildNode("nodes").getChildNode("node").getChildNode("position");
    }
    EXPECT_STREQ(position.getAttribute("z"), "3");
}

TEST_F(XMLNodeTest, TextEncodingsReadLikeUtf8) {
    const std::string inputs[] = {utf16(kScene, true, true), utf16(kScene, false, true),
                                  utf16(kScene, true, false), utf16(kScene, false, false),
                                  "\xEF\xBB\xBF" + kScene};
    for (const std::string& input : inputs) {
        const XMLNode node = parse(input, "scene").getChildNode("nodes").getChildNode("node");
        EXPECT_STREQ(node.getAttribute("name"), "Box");
        EXPECT_STREQ(node.getChildNode("position").getAttribute("y"), "2");
    }
}

TEST_F(XMLNodeTest, MissingEndTagKeepsWhatWasRead) {
    const XMLNode mesh = parse("<mesh><submeshes><submesh material=\"a\"/><submesh material=\"b\"/>", "mesh");
    ASSERT_FALSE(mesh.isEmpty());
    EXPECT_EQ(mesh.getChildNode("submeshes").nChildNode("submesh"), 2);
}

TEST_F(XMLNodeTest, UnreadableFilesGiveAnEmptyHandle) {
    EXPECT_TRUE(XMLNode::parseFile("../no-such-file.xml", "scene").isEmpty());
    EXPECT_TRUE(parse("", "scene").isEmpty());
    EXPECT_TRUE(parse("just text, no elements", "scene").isEmpty());
    EXPECT_TRUE(parse("<scene><node a=\"1\" a=></node></scene>", "scene").isEmpty());
}
