#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "MeshFixtures.h"

namespace fs = std::filesystem;

namespace {

fs::path makeTemporaryFolder(const std::string& name) {
    std::string pattern = (fs::temp_directory_path() / (name + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

// Every file below `root` with its size and time of change: a tree nothing wrote into
// lists the same afterwards.
std::map<std::string, std::string> listing(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_regular_file()) {
            files[name] = std::to_string(entry.file_size()) + " " +
                          std::to_string(entry.last_write_time().time_since_epoch().count());
        } else {
            files[name] = entry.is_directory() ? "folder" : "other";
        }
    }
    return files;
}

void makeReadOnly(const fs::path& root, bool readOnly) {
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_symlink()) {
            fs::permissions(entry.path(), write, readOnly ? fs::perm_options::remove : fs::perm_options::add);
        }
    }
}

// A small window without shadows, as the other runs of the whole game have.
void makeCheapToDraw(const fs::path& config) {
    std::ifstream in(config);
    std::stringstream text;
    text << in.rdbuf();
    std::string settings = text.str();
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"width = 640", "width = 320"},
                                   {"height = 480", "height = 240"},
                                   {"shadows = true", "shadows = false"}}) {
        const std::size_t at = settings.find(from);
        if (at != std::string::npos) {
            settings.replace(at, from.size(), to);
        }
    }
    std::ofstream(config) << settings;
}

// The game installed into a staging folder as the package lays it out, once for the suite
// (from the built tree, so nothing is built again), and made read-only.
class Stage {
public:
    Stage() : root(makeTemporaryFolder("vorn-stage")) {
        ChildProcessOptions options;
        options.environment["DESTDIR"] = root.string();
        options.timeoutSeconds = 300;
        const ChildProcessResult install =
            runChildProcess({VORN_CMAKE, "--install", VORN_BUILD_DIR, "--prefix", "/usr"}, options);
        installOutput = install.output;
        installed = install.exitCode == 0;
        makeCheapToDraw(root / "usr/share/games/vorn/Vorn.ini");
        makeReadOnly(root, true);
        before = listing(root);
    }
    ~Stage() {
        makeReadOnly(root, false);
        fs::remove_all(root);
    }

    fs::path executable() const { return root / "usr/games/vorn"; }
    fs::path usr() const { return root / "usr"; }

    const fs::path root;
    bool installed = false;
    std::string installOutput;
    std::map<std::string, std::string> before;
};

// A home of its own, with the XDG variables unset so their usual folders below it are used.
struct Home {
    Home() : root(makeTemporaryFolder("vorn-home")) {}
    ~Home() { fs::remove_all(root); }

    std::map<std::string, std::string> environment() const {
        return {{"HOME", root.string()},
                {"XDG_CONFIG_HOME", ""},
                {"XDG_DATA_HOME", ""},
                {"XDG_STATE_HOME", ""},
                {"XDG_CACHE_HOME", ""},
                // The OpenGL driver's shader cache is not the game's: kept out of the listing.
                {"MESA_SHADER_CACHE_DISABLE", "true"}};
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(root / relative);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The files the game left, each matched with the first pattern that fits; "" for none.
    std::map<std::string, std::string> filesByPattern(const std::vector<std::string>& patterns) const {
        std::map<std::string, std::string> matched;
        for (const auto& [name, what] : listing(root)) {
            if (what == "folder") {
                continue;
            }
            matched[name] = "";
            for (const std::string& pattern : patterns) {
                if (std::regex_match(name, std::regex(pattern))) {
                    matched[name] = pattern;
                    break;
                }
            }
        }
        return matched;
    }

    const fs::path root;
};

int pngSide(const fs::path& png) {
    std::ifstream in(png, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    return header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19];
}

} // namespace

class InstalledGameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { stage = std::make_unique<Stage>(); }
    static void TearDownTestSuite() { stage.reset(); }

    void SetUp() override { ASSERT_TRUE(stage->installed) << stage->installOutput; }
    void TearDown() override {
        EXPECT_EQ(listing(stage->root), stage->before) << "the installed tree was written";
    }

    static std::unique_ptr<Stage> stage;
};

std::unique_ptr<Stage> InstalledGameTest::stage;

TEST_F(InstalledGameTest, TheInstalledGamePlaysLevelOneAndWritesOnlyToThePlayersFolders) {
    const Home home;
    ChildProcessOptions options;
    options.environment = home.environment();
    options.environment["VORN_AUTOPILOT"] = "1";
    options.environment["VORN_GAME_SPEED"] = "3";
    options.timeoutSeconds = 400;
    const ChildProcessResult run = runChildProcess({stage->executable().string()}, options);
    const std::string log = home.read(".local/state/vorn/Vorn.log");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(log.find("Autopilot: level complete"), std::string::npos) << run.output;
    EXPECT_NE(log.find("Game data: " + (stage->usr() / "share/games/vorn").string() +
                       " (nothing is written into it)"),
              std::string::npos);
    EXPECT_NE(log.find("Model caches: " + (home.root / ".cache/vorn").string()), std::string::npos);

    const std::vector<std::string> expected = {
        R"(\.local/state/vorn/Vorn\.log)", R"(\.local/state/vorn/security)",
        R"(\.local/state/vorn/controls-hint-seen)", R"(\.local/share/vorn/progress\.txt(\.lock)?)",
        R"(\.local/share/vorn/screenshots/screen\d+\.tga)",
        R"(\.local/share/vorn/replays/level1-\d{8}-\d{6}\.vreplay)",
        R"(\.cache/vorn/levels/level1/models/[\w.-]+\.mesh\.vorm)",
        // the next level loads while the first is played
        R"(\.cache/vorn/levels/level2/models/[\w.-]+\.mesh\.vorm)"};
    const std::map<std::string, std::string> files = home.filesByPattern(expected);
    std::set<std::string> seen;
    for (const auto& [name, pattern] : files) {
        EXPECT_NE(pattern, "") << "unexpected file " << name;
        seen.insert(pattern);
    }
    EXPECT_EQ(seen, std::set<std::string>(expected.begin(), expected.end()));
    EXPECT_NE(home.read(".local/state/vorn/security").find("../vorn.ini"), std::string::npos);
}

// Converter mode from the installed path: the caches go beside the files it is given.
TEST_F(InstalledGameTest, TheInstalledConverterWritesBesideTheGivenFiles) {
    const Home home;
    const fs::path work = home.root / "work";
    fs::create_directories(work);
    std::ofstream(work / "box.mesh.xml") << meshXml(splitCube());
    ChildProcessOptions options;
    options.environment = home.environment();
    options.input = "\n";
    const ChildProcessResult run =
        runChildProcess({stage->executable().string(), (work / "box.mesh.xml").string()}, options);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::exists(work / "box.mesh.vorm")) << run.output;
    EXPECT_NE(home.read(".local/state/vorn/Vorn.log").find("Model successfully converted"),
              std::string::npos);
}

TEST_F(InstalledGameTest, TheDesktopEntryMetadataIconsAndManualPageAreInPlace) {
    const fs::path share = stage->usr() / "share";
    const ChildProcessResult desktop = runChildProcess(
        {"desktop-file-validate", (share / "applications/org.vorngame.Vorn.desktop").string()});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");
    const ChildProcessResult metainfo =
        runChildProcess({"appstreamcli", "validate", "--no-net",
                         (share / "metainfo/org.vorngame.Vorn.metainfo.xml").string()});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(pngSide(share / "icons/hicolor" / folder / "apps/vorn.png"), size) << folder;
    }
    EXPECT_TRUE(fs::is_regular_file(share / "man/man6/vorn.6.gz"));
    EXPECT_TRUE(fs::is_regular_file(share / "doc/vorn/copyright"));
    for (const auto& [name, what] : stage->before) {
        EXPECT_FALSE(name.ends_with(".vorm") || name.ends_with("Vorn.log") || name.ends_with("security"))
            << name << " is the game's own writing, not its data";
    }
}
