#include <gtest/gtest.h>

#include <IL/il.h>
#include <algorithm>

#include "GameTree.h"

namespace {

struct ImageInfo {
    bool loaded = false;
    int width = 0, height = 0, dxt = IL_DXT_NO_COMP, mipmaps = 0;
    bool hasAlpha = false;
};

class DevilImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ilInit();
        ilSetInteger(IL_KEEP_DXTC_DATA, IL_TRUE);
    }

    static ImageInfo inspect(const std::filesystem::path& path) {
        ImageInfo info;
        ILuint id = 0;
        ilGenImages(1, &id);
        ilBindImage(id);
        info.loaded = ilLoadImage(path.c_str()) == IL_TRUE;
        if (info.loaded) {
            info.width = ilGetInteger(IL_IMAGE_WIDTH);
            info.height = ilGetInteger(IL_IMAGE_HEIGHT);
            info.dxt = ilGetInteger(IL_DXTC_DATA_FORMAT);
            info.mipmaps = ilGetInteger(IL_NUM_MIPMAPS);
            const int format = ilGetInteger(IL_IMAGE_FORMAT);
            info.hasAlpha = format == IL_RGBA || format == IL_BGRA || format == IL_LUMINANCE_ALPHA;
        }
        ilDeleteImages(1, &id);
        return info;
    }
};

bool powerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

} // namespace

TEST_F(DevilImages, EveryDdsLoadsAsDxtCompressedWithPowerOfTwoSides) {
    const auto files = game_tree::filesEndingIn(game_tree::root(), ".dds");
    ASSERT_GE(files.size(), 25u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const ImageInfo info = inspect(file);
        ASSERT_TRUE(info.loaded);
        EXPECT_TRUE(info.dxt == IL_DXT1 || info.dxt == IL_DXT5) << "format " << info.dxt;
        EXPECT_TRUE(powerOfTwo(info.width) && powerOfTwo(info.height));
    }
}

TEST_F(DevilImages, EveryPngLoads) {
    const auto files = game_tree::filesEndingIn(game_tree::root(), ".png");
    ASSERT_GE(files.size(), 30u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        EXPECT_TRUE(inspect(file).loaded);
    }
}

TEST_F(DevilImages, EverySurfaceTextureHasANormalMapOfItsSizeByTheNamingRule) {
    const std::filesystem::path dir = game_tree::level() / "textures";
    int surfaces = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::filesystem::path file = entry.path();
        SCOPED_TRACE(file.string());
        const std::filesystem::path normalMap =
            dir / "bump" / "normalmap" / (file.stem().string() + "_NRM" + file.extension().string());
        ASSERT_TRUE(std::filesystem::exists(normalMap));
        const ImageInfo colour = inspect(file), normals = inspect(normalMap);
        EXPECT_EQ(colour.width, normals.width);
        EXPECT_EQ(colour.height, normals.height);
        if (file.extension() == ".dds") {
            EXPECT_GT(colour.mipmaps, 0);
        }
        ++surfaces;
    }
    EXPECT_GE(surfaces, 5);
}

TEST_F(DevilImages, InterfaceImagesAreWhereTheGameLooksAndCarryAlpha) {
    const std::filesystem::path menu = game_tree::root() / "textures" / "MainMenu";
    for (const char* item : {"continue", "new", "exit", "respawn", "mainmenu"}) {
        for (const std::string suffix : {"", "_highlighted"}) {
            const ImageInfo info = inspect(menu / (item + suffix + ".png"));
            EXPECT_TRUE(info.loaded && info.hasAlpha) << item << suffix;
        }
    }
    for (const char* single : {"logo", "loading", "complete"}) {
        EXPECT_TRUE(inspect(menu / (std::string(single) + ".png")).hasAlpha) << single;
    }
    const std::filesystem::path hud = game_tree::root() / "textures" / "hud";
    const ImageInfo energy = inspect(hud / "hud_energy.dds");
    for (const char* bar : {"hud_energy_dark", "hud_turbo", "hud_turbo_dark"}) {
        const ImageInfo info = inspect(hud / (std::string(bar) + ".dds"));
        EXPECT_EQ(info.dxt, IL_DXT5) << bar;
        // Both bars are drawn over one rectangle sized from the energy image.
        EXPECT_EQ(info.width, energy.width) << bar;
        EXPECT_EQ(info.height, energy.height) << bar;
    }
    EXPECT_TRUE(inspect(game_tree::root() / "textures" / "help.png").loaded);
    for (const char* face : {"front", "right", "back", "left", "top", "bottom"}) {
        EXPECT_TRUE(inspect(game_tree::root() / "textures" / "sky" / (std::string(face) + ".dds")).loaded)
            << face;
    }
}

TEST_F(DevilImages, TheFireSeriesIsAPowerOfTwoOfEqualImages) {
    const std::filesystem::path dir = game_tree::root() / "textures" / "particles";
    int count = 0;
    ImageInfo first;
    while (std::filesystem::exists(dir / ("fire" + std::to_string(count) + ".png"))) {
        const ImageInfo info = inspect(dir / ("fire" + std::to_string(count) + ".png"));
        if (count == 0) {
            first = info;
        }
        EXPECT_EQ(info.width, first.width);
        EXPECT_EQ(info.height, first.height);
        EXPECT_TRUE(info.hasAlpha);
        ++count;
    }
    EXPECT_TRUE(powerOfTwo(count)) << count;
}
