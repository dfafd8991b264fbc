#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "LayerCheck.h"
#include "TempDataRoot.h"

namespace {

namespace fs = std::filesystem;

// A small source tree with its layer file.
class LayerCheckTest : public ::testing::Test {
protected:
    LayerCheckTest() {
        write("layers", "# lowest first\nbase\nleft right\ntop\n");
        write("base/Clock.h", "#pragma once\n#include <string>\n");
        write("left/Left.cpp", "#include \"left/Left.h\"\n#include \"base/Clock.h\"\n");
        write("right/Right.h", "#pragma once\n#include \"base/Clock.h\"\n");
        write("top/Main.cpp", "#include \"left/Left.h\"\n#include \"right/Right.h\"\n#include \"other/x.h\"\n");
    }

    void write(const std::string& relative, const std::string& text) {
        const fs::path path = root() / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    fs::path root() const { return data.root() / "src"; }

    TempDataRoot data;
};

TEST_F(LayerCheckTest, IncludesDownwardsPassAndUpwardsOrSidewaysAreNamedWithFileAndLine) {
    EXPECT_EQ(LayerCheck(root()).check(), std::vector<std::string>{});

    write("base/Clock.cpp", "#include \"base/Clock.h\"\n\n#include \"top/Main.h\"\n");
    write("left/Left.h", "#pragma once\n  #  include \"right/Right.h\" // sideways\n");
    const std::vector<std::string> faults = LayerCheck(root()).check();
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].rfind("src/base/Clock.cpp:3: base/ includes top/, a higher layer", 0), 0u) << faults[0];
    EXPECT_EQ(faults[1].rfind("src/left/Left.h:2: left/ includes its sibling right/", 0), 0u) << faults[1];
}

TEST_F(LayerCheckTest, AFolderWithoutAPlaceOrNamedTwiceAndAMissingLayerFileFail) {
    write("extra/Thing.h", "#pragma once\n");
    write("layers", "base\nleft right\ntop base\n");
    const std::vector<std::string> faults = LayerCheck(root()).check();
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0], "src/layers: names 'base' more than once");
    EXPECT_EQ(faults[1], "src/extra: the folder has no place in src/layers");

    fs::remove(root() / "layers");
    EXPECT_EQ(LayerCheck(root()).check(), std::vector<std::string>{"src/layers: cannot be read"});
}

} // namespace
