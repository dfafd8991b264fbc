#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "GameTree.h"
#include "TempDataRoot.h"

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int runGenerator(const std::filesystem::path& out, const std::string& parts) {
    const std::string command = std::string(VORN_ASSETGEN) + " '" + out.string() + "' " + parts;
    return std::system(command.c_str());
}

} // namespace

// A quick subset covering every writer: DDS and PNG through DevIL, mesh and scene XML, the font,
// OGG through the Vorbis encoder and WAV.
TEST(GeneratorTest, TwoRunsWriteTheSameBytesAsTheBuild) {
    TempDataRoot data;
    const std::filesystem::path first = data.root() / "first", second = data.root() / "second";
    ASSERT_EQ(runGenerator(first, "font hud level sounds"), 0);
    ASSERT_EQ(runGenerator(second, "font hud level sounds"), 0);
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::filesystem::path relative = std::filesystem::relative(entry.path(), first);
        SCOPED_TRACE(relative.string());
        const std::string bytes = contents(entry.path());
        EXPECT_EQ(bytes, contents(second / relative));
        EXPECT_EQ(bytes, contents(game_tree::root() / relative)) << "the build's copy is out of date";
        ++compared;
    }
    EXPECT_GT(compared, 50);
}

TEST(GeneratorTest, RefusesAMissingOutputDirectoryArgument) {
    EXPECT_NE(std::system((std::string(VORN_ASSETGEN) + " 2>/dev/null").c_str()), 0);
}
