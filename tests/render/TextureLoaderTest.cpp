#include <GL/glew.h>
#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "FlagOverride.h"
#include "GlStateSnapshot.h"
#include "GlTest.h"
#include "LogCapture.h"
#include "render/SystemInfo.h"
#include "render/TextureLoader.h"

namespace {

// Writes a width x height RGBA image with DevIL; the format follows the extension.
void writeImage(const std::string& path, int width, int height, ILenum dxtFormat = IL_DXT5) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::string pixels(static_cast<std::size_t>(width) * height * 4, '\0');
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<char>(i * 37);
    }
    ilTexImage(width, height, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, pixels.data());
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
    ilSetInteger(IL_DXTC_FORMAT, dxtFormat);
    ilEnable(IL_FILE_OVERWRITE);
    ASSERT_TRUE(ilSaveImage(path.c_str())) << path;
    ilDeleteImages(1, &image);
}

// Blocks of the image library that end right before a page nobody may read, so that a
// read past the pixels ends the test at once instead of reading whatever lies there.
// Once installed they stay for the rest of the process: the library frees later what
// it allocated meanwhile, and blocks from before go back to the ordinary allocator.
std::mutex guardedMutex;
std::map<const void*, std::pair<void*, std::size_t>> guardedBlocks; // block: its mapping and length

void* ILAPIENTRY guardedAlloc(const ILsizei size) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t length = (static_cast<std::size_t>(size) + page - 1) / page * page + page;
    void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        return nullptr;
    }
    unsigned char* guard = static_cast<unsigned char*>(mapping) + length - page;
    mprotect(guard, page, PROT_NONE);
    void* block = guard - size;
    const std::lock_guard<std::mutex> lock(guardedMutex);
    guardedBlocks[block] = {mapping, length};
    return block;
}

void ILAPIENTRY guardedFree(const void* block) {
    std::unique_lock<std::mutex> lock(guardedMutex);
    const auto found = guardedBlocks.find(block);
    if (found == guardedBlocks.end()) {
        lock.unlock();
        std::free(const_cast<void*>(block));
        return;
    }
    munmap(found->second.first, found->second.second);
    guardedBlocks.erase(found);
}

GLint levelParameter(GLenum target, GLint level, GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(target, level, name, &value);
    return value;
}

} // namespace

class TextureLoaderTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return; // no window, nothing to draw into
        }
        loader = TextureLoader::getInstance();
    }

    std::string path(const std::string& relative) const { return (data->root() / relative).string(); }

    TextureLoader* loader = nullptr;
};

TEST(NormalMapNameTest, LivesInBumpNormalmapBesideTheTexture) {
    EXPECT_EQ(TextureLoader::normalMapName("../textures/wall.dds"),
              "../textures/bump/normalmap/wall_NRM.dds");
    EXPECT_EQ(TextureLoader::normalMapName("wall.tga"), "bump/normalmap/wall_NRM.tga");
    EXPECT_EQ(TextureLoader::normalMapName("..\\textures\\a.b.png"),
              "..\\textures\\bump/normalmap/a.b_NRM.png");
    EXPECT_EQ(TextureLoader::normalMapName("../textures/plain"), "../textures/bump/normalmap/plain_NRM");
}

TEST_F(TextureLoaderTest, PngUploadsWithItsSizeAndMipmaps) {
    writeImage(path("textures/stone.png"), 64, 32);
    loader->addTexture(path("textures/stone.png"), GL_CLAMP_TO_EDGE);
    loader->uploadTextures(true);

    TextureLoader::Texture* tex = loader->getTexture(path("textures/stone.png"));
    ASSERT_NE(tex, nullptr);
    EXPECT_TRUE(tex->uploaded);
    EXPECT_EQ(tex->width, 64);
    EXPECT_EQ(tex->height, 32);
    EXPECT_EQ(tex->depth, 1);
    ASSERT_NE(*tex->glId, 0u);
    glBindTexture(GL_TEXTURE_2D, *tex->glId);
    EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(levelParameter(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH), 1) << "the full mipmap chain";
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, PixelRowsStartAtTheTopOfTheImage) {
    writeImage(path("textures/rows.png"), 4, 4);

    TextureLoader::Texture* tex = loader->getTexture(path("textures/rows.png"));
    ASSERT_NE(tex, nullptr);
    glBindTexture(GL_TEXTURE_2D, *tex->glId);
    std::string uploaded(64, '\0');
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    // Byte i of the written image is i * 37: the top row starts 0, 37, the bottom row 1776, 1813.
    EXPECT_EQ(static_cast<unsigned char>(uploaded[0]), 0);
    EXPECT_EQ(static_cast<unsigned char>(uploaded[1]), 37);
    EXPECT_EQ(static_cast<unsigned char>(uploaded[48]), 1776 % 256);
}

// What one DDS file became: compressed or not, and its anisotropy.
struct Upload {
    bool compressed = false;
    GLint internalFormat = 0;
    GLint width = 0;
    float anisotropy = 0.0f;
};

Upload uploadOnce(TextureLoader& loader, const std::string& file) {
    GLuint name = 0;
    TextureLoader::Texture texture;
    texture.wrapS = texture.wrapT = GL_REPEAT;
    EXPECT_TRUE(loader.loadTexture2D(file, texture, &name));
    glBindTexture(GL_TEXTURE_2D, name);
    Upload upload;
    upload.compressed = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED) == GL_TRUE;
    upload.internalFormat = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT);
    upload.width = levelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &upload.anisotropy);
    glDeleteTextures(1, &name);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return upload;
}

TEST_F(TextureLoaderTest, Dxt5DdsUploadsCompressedOrPlainWithoutS3tc) {
    writeImage(path("textures/glow.dds"), 64, 64, IL_DXT5);
    SystemInfo& system = *SystemInfo::getInstance();
    ASSERT_TRUE(system.textureCompressionS3TC) << "llvmpipe offers S3TC";
    ASSERT_TRUE(system.softwareRasterizer) << "the tests run on llvmpipe";
    loader->addTexture(path("textures/glow.dds"), GL_REPEAT);
    loader->uploadTextures(true);
    ASSERT_NE(loader->getTexture(path("textures/glow.dds")), nullptr);
    {
        const FlagOverride hardware(system.softwareRasterizer, false);
        const Upload upload = uploadOnce(*loader, path("textures/glow.dds"));
        EXPECT_TRUE(upload.compressed);
        EXPECT_EQ(upload.internalFormat, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
        EXPECT_EQ(upload.width, 64);
        EXPECT_GT(upload.anisotropy, 1.0f) << "hardware filters across angles";
    }
    const Upload software = uploadOnce(*loader, path("textures/glow.dds"));
    EXPECT_FALSE(software.compressed) << "a CPU rasteriser gets the texels decoded once";
    EXPECT_EQ(software.width, 64);
    EXPECT_EQ(software.anisotropy, 1.0f);

    const FlagOverride hardware(system.softwareRasterizer, false);
    const FlagOverride noS3tc(system.textureCompressionS3TC, false);
    const Upload plain = uploadOnce(*loader, path("textures/glow.dds"));
    EXPECT_FALSE(plain.compressed);
    EXPECT_EQ(plain.width, 64);
}

TEST_F(TextureLoaderTest, SeriesOfFiveLoadsTheFirstFourAsA3DTexture) {
    for (int i = 0; i < 5; ++i) {
        writeImage(path("textures/fire" + std::to_string(i) + ".png"), 16, 16);
    }
    const std::string series = path("textures/fire*.png");
    const LogCapture log;
    loader->addTexture(series, GL_REPEAT);
    loader->uploadTextures(true);
    EXPECT_TRUE(log.contains("Number of Files for 3D texture '" + series +
                             "' is not a power of two, only the first 4 files will be loaded"));

    TextureLoader::Texture* tex = loader->getTexture(series);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(tex->depth, 4);
    glBindTexture(GL_TEXTURE_3D, *tex->glId);
    EXPECT_EQ(levelParameter(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH), 4);
    EXPECT_EQ(levelParameter(GL_TEXTURE_3D, 0, GL_TEXTURE_WIDTH), 16);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_3D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, SeriesWithDifferentSizesFailsAndLeavesTheCache) {
    writeImage(path("textures/smoke0.png"), 16, 16);
    writeImage(path("textures/smoke1.png"), 32, 16);
    const std::string series = path("textures/smoke*.png");
    const LogCapture log;
    loader->addTexture(series, GL_REPEAT);
    loader->uploadTextures(true);
    EXPECT_TRUE(
        log.contains("Could not load 3D Texture - All Images must have exactly the same specifications"));
    EXPECT_EQ(loader->getTexture(series), nullptr);
}

TEST_F(TextureLoaderTest, NormalMapsAreFoundByNameAndUploadedWithTheTexture) {
    writeImage(path("textures/wall.png"), 8, 8);
    writeImage(path("textures/bump/normalmap/wall_NRM.png"), 8, 8);
    writeImage(path("textures/floor.png"), 8, 8);
    loader->addTexture(path("textures/wall.png"), GL_REPEAT);
    loader->addTexture(path("textures/floor.png"), GL_REPEAT);
    loader->uploadTextures(true);

    TextureLoader::Texture* wall = loader->getTexture(path("textures/wall.png"));
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->hasBump);
    EXPECT_EQ(wall->bumpName, path("textures/bump/normalmap/wall_NRM.png"));
    ASSERT_TRUE(wall->bumpGlId);
    EXPECT_TRUE(glIsTexture(*wall->bumpGlId));
    EXPECT_NE(*wall->bumpGlId, *wall->glId);

    TextureLoader::Texture* floor = loader->getTexture(path("textures/floor.png"));
    ASSERT_NE(floor, nullptr);
    EXPECT_FALSE(floor->hasBump);
    EXPECT_FALSE(floor->bumpGlId);
}

TEST_F(TextureLoaderTest, NormalMapsAreIgnoredWhenSwitchedOff) {
    data->write("Vorn.ini", "[GameSettings]\nbumpmaps = false\n");
    writeImage(path("textures/wall.png"), 8, 8);
    writeImage(path("textures/bump/normalmap/wall_NRM.png"), 8, 8);
    loader->addTexture(path("textures/wall.png"), GL_REPEAT);
    loader->uploadTextures(true);
    const TextureLoader::Texture* wall = loader->getTexture(path("textures/wall.png"));
    ASSERT_NE(wall, nullptr);
    EXPECT_FALSE(wall->hasBump);
}

TEST_F(TextureLoaderTest, TheFirstRegistrationWinsAndFailedLoadsLeaveTheCache) {
    writeImage(path("textures/sky.png"), 8, 8);
    loader->addTexture(path("textures/sky.png"), GL_CLAMP_TO_EDGE);
    loader->addTexture(path("textures/sky.png"), GL_REPEAT);
    loader->addTexture(path("textures/missing.png"), GL_REPEAT);
    const LogCapture log;
    loader->uploadTextures(true);
    EXPECT_TRUE(log.contains("Texture '" + path("textures/missing.png") + "' could not be loaded!"));
    EXPECT_EQ(loader->getTexture(path("textures/sky.png"))->wrapS, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(
        log.count("called getTexture with filename not in cache, textures should be added with addTexture "
                  "and uploaded with uploadTextures"),
        0);
    EXPECT_EQ(loader->getTexture(path("textures/missing.png")), nullptr);
}

TEST_F(TextureLoaderTest, GetTextureLoadsOnTheSpotWithAWarning) {
    writeImage(path("textures/late.png"), 8, 8);
    writeImage(path("textures/early.png"), 8, 8);
    const LogCapture log;

    TextureLoader::Texture* late = loader->getTexture(path("textures/late.png"));
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(log.contains("called getTexture with filename not in cache, textures should be added with "
                             "addTexture and uploaded with uploadTextures"));
    EXPECT_EQ(late->wrapS, GL_REPEAT);
    EXPECT_EQ(late->wrapT, GL_REPEAT);
    EXPECT_EQ(loader->getTexture(path("textures/late.png")), late) << "cached after the first call";

    loader->addTexture(path("textures/early.png"), GL_CLAMP_TO_EDGE);
    TextureLoader::Texture* early = loader->getTexture(path("textures/early.png"));
    ASSERT_NE(early, nullptr);
    EXPECT_TRUE(
        log.contains("called getTexture with filename in cache but not uploaded yet, textures should be "
                     "added with addTexture and uploaded with uploadTextures"));
    EXPECT_EQ(early->wrapS, GL_CLAMP_TO_EDGE);
    EXPECT_TRUE(glIsTexture(*early->glId));

    loader->addTexture(path("textures/gone.png"), GL_REPEAT);
    EXPECT_EQ(loader->getTexture(path("textures/gone.png")), nullptr);
    EXPECT_EQ(loader->getTexture(path("textures/never.png")), nullptr);
}

TEST_F(TextureLoaderTest, PartialUploadsDoLittleEachCallAndFinishEverything) {
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        writeImage(path(std::string("textures/") + name), 4, 4);
        loader->addTexture(path(std::string("textures/") + name), GL_REPEAT);
    }
    ASSERT_EQ(loader->countPending(), 4);
    // The first entry of the cache does not count towards the one per call.
    loader->uploadTextures(false);
    EXPECT_EQ(loader->countPending(), 2);
    loader->uploadTextures(false);
    EXPECT_EQ(loader->countPending(), 1);
    loader->uploadTextures(false);
    EXPECT_EQ(loader->countPending(), 0);
    loader->uploadTextures(false);
    EXPECT_EQ(loader->countPending(), 0);
}

TEST_F(TextureLoaderTest, ANormalMapOfAnotherSizeLeavesTheTexturesSizeAndUploadsLeaveTheStateAlone) {
    writeImage(path("textures/wall.png"), 64, 32);
    writeImage(path("textures/bump/normalmap/wall_NRM.png"), 16, 8);
    writeImage(path("textures/fire0.png"), 8, 8);
    writeImage(path("textures/fire1.png"), 8, 8);
    loader->addTexture(path("textures/wall.png"), GL_REPEAT);
    loader->addTexture(path("textures/fire*.png"), GL_CLAMP_TO_EDGE);
    GLuint bound = 0;
    glGenTextures(1, &bound);
    glBindTexture(GL_TEXTURE_2D, bound);
    const GlStateSnapshot before;
    loader->uploadTextures(true);
    EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
    GLint stillBound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &stillBound);
    EXPECT_EQ(stillBound, static_cast<GLint>(bound));

    const TextureLoader::Texture* wall = loader->getTexture(path("textures/wall.png"));
    ASSERT_NE(wall, nullptr);
    ASSERT_TRUE(wall->hasBump);
    EXPECT_EQ(wall->width, 64);
    EXPECT_EQ(wall->height, 32);
    glDeleteTextures(1, &bound);
}

namespace {

bool decodes(const std::string& name, const std::string& bytes) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const bool decoded = TextureLoader::decodeImage(name, bytes.data(), bytes.size());
    ilDeleteImages(1, &image);
    return decoded;
}

} // namespace

// The image library would read a cut PNG for ever and decompress more DXT blocks than
// it set aside: such files are refused before it sees them, whole ones still load.
TEST_F(TextureLoaderTest, DamagedFilesNeverReachTheImageLibrary) {
    writeImage(path("textures/whole.png"), 16, 16);
    writeImage(path("textures/whole.dds"), 16, 16, IL_DXT5);
    const std::string png = data->read("textures/whole.png");
    const std::string dds = data->read("textures/whole.dds");
    EXPECT_TRUE(decodes("whole.png", png));
    EXPECT_TRUE(decodes("whole.dds", dds));

    const std::string cutPng = png.substr(0, png.size() - 20);
    EXPECT_FALSE(decodes("cut.png", cutPng));
    std::string widerDds = dds;
    widerDds[16 + 1] = 0x20; // 8208 pixels wide, the blocks of 16
    EXPECT_FALSE(decodes("wide.dds", widerDds));
    std::string otherBlocks = dds;
    otherBlocks.replace(84, 4, "ATI2");
    EXPECT_FALSE(decodes("other.dds", otherBlocks));

    writeImage(path("textures/whole.tga"), 16, 16);
    const std::string tga = data->read("textures/whole.tga");
    EXPECT_TRUE(decodes("whole.tga", tga));
    std::string hugeTga = tga.substr(0, 60);
    hugeTga[12] = hugeTga[14] = 0x00;
    hugeTga[13] = hugeTga[15] = 0x30; // 12288 x 12288 pixels in 42 bytes
    EXPECT_FALSE(decodes("huge.tga", hugeTga));
    EXPECT_FALSE(decodes("whole.psd", png)) << "only the checked types reach the library";
    for (const std::string name : {"whole.bmp", "whole.jpg"}) {
        writeImage(path("textures/" + name), 16, 16);
        EXPECT_TRUE(decodes(name, data->read("textures/" + name))) << name;
    }

    data->write("textures/cut.png", cutPng);
    loader->addTexture("../textures/cut.png", GL_REPEAT);
    loader->uploadTextures(true);
    EXPECT_EQ(loader->countPending(), 0);
    EXPECT_EQ(loader->getTexture("../textures/cut.png"), nullptr);
}

// Menus, the HUD and the fire ask for their textures every frame.
TEST_F(TextureLoaderTest, AMissingTextureIsLookedForOnce) {
    const std::string never = path("textures/never.png");
    const std::string gone = path("textures/gone.png");
    loader->addTexture(gone, GL_REPEAT);
    loader->uploadTextures(true);
    const LogCapture log;
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_EQ(loader->getTexture(never), nullptr);
        EXPECT_EQ(loader->getTexture(gone), nullptr);
    }
    EXPECT_EQ(log.problems().size(), 2u) << "one warning and one error for the name never added";

    // A new registration asks again, once.
    writeImage(gone, 4, 4);
    loader->addTexture(gone, GL_REPEAT);
    loader->uploadTextures(true);
    EXPECT_NE(loader->getTexture(gone), nullptr);
}

// Names reach the loader from level files on the loading thread.
TEST_F(TextureLoaderTest, NamesTheSystemRefusesAreNoFilesNotAnEndOfTheGame) {
    const std::string tooLong = path("textures/" + std::string(300, 'x') + ".png");
    const std::string series = path("textures/" + std::string(300, 'y') + "*.png");
    EXPECT_NO_THROW(loader->addTexture(tooLong, GL_REPEAT));
    EXPECT_NO_THROW(loader->addTexture(series, GL_REPEAT));
    EXPECT_NO_THROW(loader->uploadTextures(true));
    EXPECT_EQ(loader->countPending(), 0);
    EXPECT_EQ(loader->getTexture(tooLong), nullptr);
}

// The mipmap builder reads a row past the pixels of an image whose height is no power of
// two; where the image's memory ended at a page boundary the game crashed at start.
TEST_F(TextureLoaderTest, HeightsThatAreNoPowerOfTwoUploadWithinTheirPixels) {
    writeImage(path("textures/MainMenu/new.png"), 512, 96);
    writeImage(path("textures/odd.tga"), 64, 33);
    ilSetMemory(guardedAlloc, guardedFree);
    loader->addTexture(path("textures/MainMenu/new.png"), GL_REPEAT);
    loader->addTexture(path("textures/odd.tga"), GL_REPEAT);
    loader->uploadTextures(true);
    ASSERT_NE(loader->getTexture(path("textures/MainMenu/new.png")), nullptr);
    EXPECT_EQ(loader->getTexture(path("textures/odd.tga"))->height, 33);
}
