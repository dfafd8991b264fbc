#include <gtest/gtest.h>

#include <IL/il.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "ChildProcess.h"
#include "MeshFixtures.h"
#include "TempDataRoot.h"
#include "core/Util.h"
#include "model/ModelCache.h"

namespace {

struct ConverterRun {
    std::vector<std::string> lines; // standard output, one log line each
    std::string prompts;            // what the message boxes asked on standard error
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string header(const std::string& dds, std::size_t offset, std::size_t length) {
    return dds.size() >= offset + length ? dds.substr(offset, length) : "";
}

int mipmapCount(const std::string& dds) {
    const std::string bytes = header(dds, 28, 4);
    return bytes.empty() ? -1
                         : static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8;
}

} // namespace

class ConverterTest : public ::testing::Test {
protected:
    // Runs the game executable on `arguments` with `answers` as its standard input.
    ConverterRun convert(const std::vector<std::string>& arguments, const std::string& answers) {
        data.write("answers.txt", answers);
        std::string command = std::string("'") + VORN_EXECUTABLE + "'";
        for (const std::string& argument : arguments) {
            command += " '" + argument + "'";
        }
        command += " < ../answers.txt > ../out.txt 2> ../err.txt";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return {splitLines(data.read("out.txt")), data.read("err.txt")};
    }

    void writeImage(const std::string& relative) {
        std::vector<unsigned char> pixels(64 * 32 * 4);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<unsigned char>(i * 7);
        }
        ilInit();
        ILuint image;
        ilGenImages(1, &image);
        ilBindImage(image);
        ilTexImage(64, 32, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, pixels.data());
        ilEnable(IL_FILE_OVERWRITE);
        EXPECT_TRUE(ilSaveImage((data.root() / relative).c_str()));
        ilDeleteImages(1, &image);
    }

    static bool has(const ConverterRun& run, const std::string& line) {
        return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end();
    }

    TempDataRoot data;
};

TEST_F(ConverterTest, MeshXmlBecomesACacheBesideIt) {
    data.write("models/box.mesh.xml", meshXml(splitCube()));
    data.write("models/Big.MESH.XML", meshXml(sharedCube()));
    const ConverterRun run = convert({"../models/box.mesh.xml", "../models/Big.MESH.XML"}, "\n");

    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(run.lines.front(), "INFO  [main] Entering Converter Mode");
    EXPECT_TRUE(has(run, "INFO  [main] --box.mesh--"));
    EXPECT_TRUE(has(run, "INFO  [main] --Big.MESH--"));
    EXPECT_TRUE(has(run, "INFO  [main] Model successfully loaded, now serializing"));
    EXPECT_TRUE(has(run, "INFO  [main] Model successfully converted"));
    EXPECT_EQ(run.lines.back(), "INFO  [main] All files converted. Press enter to exit");

    for (const std::string base : {"../models/box.mesh", "../models/Big.MESH"}) {
        const std::unique_ptr<OgreModel> model(
            ModelCache::loadModelCache(Util::calcHash(nullptr, base + ".xml"), base + ".vorm"));
        const std::unique_ptr<OgreModelMesh> mesh(model->mesh);
        ASSERT_TRUE(mesh) << base;
        EXPECT_EQ(mesh->submeshes.at("submesh_0")->edges.size(), 18u);
    }
}

TEST_F(ConverterTest, ImagesBecomeDdsInTheChosenFormat) {
    struct Case {
        std::string answers, fourCC;
        bool mipmaps;
    };
    const Case cases[] = {
        {"y\ny\n", "DXT1", true}, {"n\nn\n", "DXT3", false}, {"yes\ncancel\n", "DXT5", true}};
    for (const Case& c : cases) {
        writeImage("wall.png");
        const ConverterRun run = convert({"../wall.png"}, c.answers);
        EXPECT_TRUE(has(run, "INFO  [main] File '../wall.png' successfully converted")) << c.fourCC;
        EXPECT_NE(run.prompts.find("Create Mipmaps?"), std::string::npos);
        EXPECT_NE(run.prompts.find("Select Compression mode"), std::string::npos);
        const std::string dds = data.read("wall.dds");
        EXPECT_EQ(header(dds, 0, 4), "DDS ");
        EXPECT_EQ(header(dds, 84, 4), c.fourCC);
        EXPECT_EQ(mipmapCount(dds) > 1, c.mipmaps) << c.fourCC;
    }

    // A DDS converted again replaces itself.
    const ConverterRun again = convert({"../wall.dds"}, "n\nn\n");
    EXPECT_TRUE(has(again, "INFO  [main] File '../wall.dds' successfully converted"));
    EXPECT_EQ(header(data.read("wall.dds"), 84, 4), "DXT3");
}

// The old DDS stays until the new one is whole: a save that fails (here: beyond the file
// size limit) or a converter that dies while it saves leaves it as it was.
TEST_F(ConverterTest, ANewDdsReplacesTheOldOnlyOnceItIsWritten) {
    writeImage("wall.png");
    data.write("wall.dds", "the old texture");
    const std::string run = std::string("cd '") + data.bin().string() +
                            "' && ulimit -c 0 && ulimit -f 2 && '" + VORN_EXECUTABLE +
                            "' ../wall.png < ../answers.txt > ../out.txt 2> ../err.txt";
    data.write("answers.txt", "n\nn\n");
    EXPECT_EQ(std::system(("trap '' XFSZ; " + run).c_str()), 0);
    EXPECT_NE(data.read("out.txt").find("File '../wall.png' could not be converted!"), std::string::npos);
    EXPECT_EQ(data.read("wall.dds"), "the old texture");

    EXPECT_NE(std::system(run.c_str()), 0) << "the file size limit ends it while it writes";
    EXPECT_EQ(data.read("wall.dds"), "the old texture");

    const ConverterRun written = convert({"../wall.png"}, "n\nn\n");
    EXPECT_TRUE(has(written, "INFO  [main] File '../wall.png' successfully converted"));
    EXPECT_EQ(header(data.read("wall.dds"), 84, 4), "DXT3");
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(data.root())) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left.count("wall.dds"), 1u);
    EXPECT_EQ(std::count_if(left.begin(), left.end(),
                            [](const std::string& name) { return name.starts_with("wall.dds."); }),
              1)
        << "only the one the dying converter left";
}

TEST_F(ConverterTest, ClosedPromptAbortsOnlyThatFile) {
    writeImage("wall.png");
    data.write("models/box.mesh.xml", meshXml(sharedCube()));
    const ConverterRun run = convert({"../wall.png", "../models/box.mesh.xml"}, "");
    EXPECT_TRUE(has(run, "INFO  [main] Converting file '../wall.png' aborted."));
    EXPECT_FALSE(std::filesystem::exists(data.root() / "wall.dds"));
    EXPECT_TRUE(std::filesystem::exists(data.root() / "models/box.mesh.vorm"));
    EXPECT_EQ(run.lines.back(), "INFO  [main] All files converted. Press enter to exit");
}

TEST_F(ConverterTest, MissingFilesAreSkippedSilentlyAndOthersNamed) {
    data.write("notes.txt", "hello");
    data.write("broken.png", "not an image");
    data.write("models/empty.mesh.xml", "<mesh/>");
    const ConverterRun run = convert({"../missing.mesh.xml", "../missing.png", "../notes.txt",
                                      "../broken.png", "../models/empty.mesh.xml"},
                                     "\n");
    const std::vector<std::string> expected = {
        "INFO  [main] Entering Converter Mode",
        "INFO  [main] Unknown Filetype: '../notes.txt', skipping",
        "ERROR [main] File '../broken.png' could not be loaded!",
        "INFO  [main] --empty.mesh--",
        "ERROR [MeshLoader] Invalid Model (<submeshes> must exist! (number=0)",
        "WARN  [main] Loading model failed!",
        "INFO  [main] All files converted. Press enter to exit"};
    EXPECT_EQ(run.lines, expected);
    EXPECT_TRUE(run.prompts.empty());
}

TEST_F(ConverterTest, SceneCheckCountsTheLevelAndBuildsItsMeshCaches) {
    data.write("levels/one/models/box.mesh.xml", meshXml(splitCube()));
    data.write("levels/one/one.material", "material Stone\n{\n}\nmaterial Wood : Stone\n{\n}\n");
    data.write("levels/one/one.scene",
               "<scene><nodes>"
               "<node name=\"A\"><entity name=\"A\" meshFile=\"box.mesh\"><subentities>"
               "<subentity index=\"0\" materialName=\"Stone\"/><subentity index=\"1\" materialName=\"Wood\"/>"
               "</subentities></entity></node>"
               "<node name=\"B\"><entity name=\"B\" meshFile=\"box.mesh\"/></node>"
               "<node name=\"C\"><entity name=\"C\" meshFile=\"gone.mesh\"/></node>"
               "<node name=\"D\"/></nodes></scene>");
    const ConverterRun run = convert({"../levels/one/one.scene"}, "\n");
    EXPECT_TRUE(has(run, "INFO  [main] --box.mesh--"));
    EXPECT_TRUE(has(run, "WARN  [main] Mesh '../levels/one/models/gone.mesh' is missing"));
    EXPECT_TRUE(has(run, "INFO  [main] Scene '../levels/one/one.scene': 4 nodes, 3 entities, 1 materials, "
                         "1 subentities bound, 1 unbound, 1 meshes missing"));
    EXPECT_TRUE(std::filesystem::exists(data.root() / "levels/one/models/box.mesh.vorm"));
    EXPECT_FALSE(std::filesystem::exists(data.root() / "security")) << "no configuration is read";
}

namespace {

// Every level the game lists, in the order of its [levels] section.
std::vector<std::string> shippedLevels(const GameCopy& game) {
    std::vector<std::string> levels;
    const std::string config = game.readFile("Vorn.ini");
    for (int number = 1;; ++number) {
        const std::string key = "\nlevel" + std::to_string(number) + " = ../";
        const std::size_t at = config.find(key);
        if (at == std::string::npos) {
            return levels;
        }
        const std::size_t start = at + key.size();
        levels.push_back(config.substr(start, config.find('\n', start) - start));
    }
}

} // namespace

TEST_F(ConverterTest, EveryShippedLevelHasNoUnboundSubentityAndNoMissingMesh) {
    const GameCopy game;
    const std::vector<std::string> levels = shippedLevels(game);
    EXPECT_EQ(levels.size(), 8u);
    for (const std::string& level : levels) {
        SCOPED_TRACE(level);
        const std::string scene = (game.root() / level).string();
        const std::string text = game.readFile(level);
        const auto count = [&text](const std::string& what) {
            int found = 0;
            for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
                ++found;
            }
            return found;
        };
        const ConverterRun run = convert({scene}, "\n");
        const std::string summary = "INFO  [main] Scene '" + scene + "': " + std::to_string(count("<node ")) +
                                    " nodes, " + std::to_string(count("<entity ")) + " entities, ";
        const auto line = std::find_if(run.lines.begin(), run.lines.end(),
                                       [&](const std::string& l) { return l.starts_with(summary); });
        ASSERT_NE(line, run.lines.end()) << summary;
        EXPECT_TRUE(line->ends_with(" subentities bound, 0 unbound, 0 meshes missing")) << *line;
        const std::filesystem::path models = std::filesystem::path(scene).parent_path() / "models";
        for (const auto& entry : std::filesystem::directory_iterator(models)) {
            const std::string path = entry.path().string();
            if (path.ends_with(".mesh.xml")) {
                EXPECT_TRUE(std::filesystem::exists(path.substr(0, path.size() - 4) + ".vorm")) << path;
            }
        }
    }
}
