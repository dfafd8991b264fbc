#include <gtest/gtest.h>

#include <cstdlib>
#include <iniparser.h>

#include "GameTree.h"
#include "TempDataRoot.h"
#include "core/Config.h"

namespace {

enum class Type { Int, Float, Bool, Text, File };

struct Key {
    const char* name;
    Type type;
};

// Every key the game reads from the main configuration.
const Key kMainKeys[] = {
    {"window:width", Type::Int},
    {"window:height", Type::Int},
    {"window:fullscreen", Type::Bool},
    {"window:vsync", Type::Bool},
    {"quality:perspectiv", Type::Int},
    {"quality:fog", Type::Int},
    {"quality:linesmooth", Type::Int},
    {"quality:pointsmooth", Type::Int},
    {"quality:mipmaps", Type::Int},
    {"quality:texcompress", Type::Int},
    {"GameSettings:shadows", Type::Bool},
    {"GameSettings:shader", Type::Bool},
    {"GameSettings:bumpmaps", Type::Bool},
    {"GameSettings:energycapacity", Type::Float},
    {"GameSettings:fireBurstMultiplier", Type::Float},
    {"GameSettings:fireBirstTime", Type::Int},
    {"GameSettings:lightradiusmin", Type::Float},
    {"GameSettings:lightradiusmax", Type::Float},
    {"gamesettings:respawnovercheckpoint", Type::Float},
    {"gamesettings:respawnenergybonus", Type::Float},
    {"camcollision:collisionGroups", Type::Text},
    {"Files:ObjectPropertiesFile", Type::File},
    {"Files:PhysXMaterialsFile", Type::File},
    {"Files:SoundFile", Type::File},
    {"Files:HelpTextureFile", Type::File},
    {"levels:level1", Type::File},
    {"Debug:physxdebugrenderer", Type::Bool},
    {"TorchSettings:offsetX", Type::Float},
    {"TorchSettings:offsetY", Type::Float},
    {"TorchSettings:offsetZ", Type::Float},
    {"torch1:radius", Type::Float},
    {"forceField:offset", Type::Float},
    {"forceField:group", Type::Int},
    {"Replays:keep", Type::Int},
    {"Replays:ghost", Type::Bool},
};

const char* kFluidSections[] = {"fluid1", "fluid2"};
const Key kFluidKeys[] = {
    {"texture", Type::Text},
    {"kernelRadiusMultiplier", Type::Float},
    {"restParticlesPerMeter", Type::Float},
    {"motionLimitMultiplier", Type::Float},
    {"packetSizeMultiplier", Type::Int},
    {"collisionDistanceMultiplier", Type::Float},
    {"stiffness", Type::Float},
    {"viscosity", Type::Float},
    {"restDensity", Type::Float},
    {"damping", Type::Float},
    {"gravity", Type::Bool},
    {"restitutionForStaticShapes", Type::Float},
    {"dynamicFrictionForStaticShapes", Type::Float},
    {"restitutionForDynamicShapes", Type::Float},
    {"dynamicFrictionForDynamicShapes", Type::Float},
    {"particleInteraction", Type::Bool},
    {"maxParticles", Type::Int},
    {"maxExternalAccelerationX", Type::Float},
    {"maxExternalAccelerationY", Type::Float},
    {"maxExternalAccelerationZ", Type::Float},
    {"minExternalAccelerationX", Type::Float},
    {"minExternalAccelerationY", Type::Float},
    {"minExternalAccelerationZ", Type::Float},
};

const char* kEmitterSections[] = {"emitter1", "emitter2", "torchEmitter1", "torchEmitter2"};
const Key kEmitterKeys[] = {
    {"dimensionX", Type::Float},
    {"dimensionY", Type::Float},
    {"minRate", Type::Float},
    {"maxRate", Type::Float},
    {"randomAngle", Type::Float},
    {"maxFluidVelocityMagnitude", Type::Float},
    {"minfluidVelocityMagnitude", Type::Float},
    {"repulsionCoefficient", Type::Float},
    {"maxParticleLifetime", Type::Float},
    {"minParticleLifetime", Type::Float},
    {"maxParticles", Type::Int},
    {"burst", Type::Bool},
    {"minSize", Type::Float},
    {"maxSize", Type::Float},
};

const Key kSoundKeys[] = {
    {"Common:minimumforce", Type::Float}, {"Common:maximumdistance", Type::Float},
    {"Common:gainfactor", Type::Float},   {"Common:listenergain", Type::Float},
    {"Common:powerpickup", Type::File},   {"Common:powerbottlepickup", Type::File},
    {"Common:turbopickup", Type::File},   {"Common:turbobottlepickup", Type::File},
    {"Common:checkpoint", Type::File},
};

// Checks that `key` is present and that its text reads as `type` the way the lookups convert it.
std::string problem(const Config& config, const std::string& key, Type type) {
    const std::string value = config.getString(key.c_str(), "\x01");
    if (value == "\x01") {
        return key + " is missing";
    }
    char* end = nullptr;
    switch (type) {
    case Type::Int:
        std::strtol(value.c_str(), &end, 0);
        return *end == '\0' && !value.empty() ? "" : key + " = " + value + " is no integer";
    case Type::Float:
        std::strtod(value.c_str(), &end);
        return *end == '\0' && !value.empty() ? "" : key + " = " + value + " is no number";
    case Type::Bool:
        return std::string("yYtT1nNfF0").find(value.empty() ? '?' : value[0]) != std::string::npos
                   ? ""
                   : key + " = " + value + " is no boolean";
    case Type::Text:
        return "";
    case Type::File:
        // Paths are relative to bin/, one level below the game root.
        return std::filesystem::exists(game_tree::root() / "bin" / value) ? ""
                                                                          : key + " names missing " + value;
    }
    return "";
}

class ConfigKeysTest : public ::testing::Test {
protected:
    TempDataRoot data; // the hash file goes here, not into the game tree
    const Config main{(game_tree::root() / "Vorn.ini").c_str()};

    Config fileNamedBy(const char* key) const {
        return Config((game_tree::root() / "bin" / main.getString(key, "")).c_str());
    }
};

} // namespace

TEST_F(ConfigKeysTest, TheMainConfigurationHoldsEveryKeyWithAValueOfItsType) {
    ASSERT_NE(main.dictionary, nullptr);
    for (const Key& key : kMainKeys) {
        EXPECT_EQ(problem(main, key.name, key.type), "");
    }
    for (const char* section : kFluidSections) {
        for (const Key& key : kFluidKeys) {
            EXPECT_EQ(problem(main, std::string(section) + ":" + key.name, key.type), "");
        }
    }
    for (const char* section : kEmitterSections) {
        for (const Key& key : kEmitterKeys) {
            EXPECT_EQ(problem(main, std::string(section) + ":" + key.name, key.type), "");
        }
    }
}

TEST_F(ConfigKeysTest, TheParticleTextureSeriesAndLevelIniExist) {
    const std::string texture = main.getString("fluid1:texture", "");
    const std::size_t star = texture.find('*');
    ASSERT_NE(star, std::string::npos);
    std::string first = texture;
    first.replace(star, 1, "0");
    EXPECT_TRUE(std::filesystem::exists(game_tree::root() / "bin" / first)) << first;
    const Config level((game_tree::level() / "level1.ini").c_str());
    EXPECT_EQ(problem(level, "Sound:bgsound", Type::File), "");
    EXPECT_EQ(problem(level, "Sound:bgsoundgain", Type::Float), "");
}

TEST_F(ConfigKeysTest, TheSoundFileNamesExistingSoundsForPickupsAndCollisions) {
    const Config sound = fileNamedBy("Files:SoundFile");
    for (const Key& key : kSoundKeys) {
        EXPECT_EQ(problem(sound, key.name, key.type), "");
    }
    ASSERT_TRUE(sound.hasSection("collisions"));
    const int keys = iniparser_getsecnkeys(sound.dictionary, "collisions");
    EXPECT_GE(keys, 4);
    const char** names = static_cast<const char**>(std::calloc(std::size_t(keys), sizeof(char*)));
    iniparser_getseckeys(sound.dictionary, "collisions", names);
    for (int i = 0; i < keys; ++i) {
        EXPECT_EQ(problem(sound, names[i], Type::File), "");
    }
    std::free(names);
}

TEST_F(ConfigKeysTest, ObjectProfilesGiveTheBallItsGroupsAndEveryMaterialExists) {
    const Config objects = fileNamedBy("Files:ObjectPropertiesFile");
    const Config materials = fileNamedBy("Files:PhysXMaterialsFile");
    EXPECT_EQ(objects.getString("mainChar:actorType", ""), "dynamic");
    EXPECT_EQ(objects.getString("mainChar:shape", ""), "sphere");
    EXPECT_FLOAT_EQ(objects.getFloat("mainChar:radius", 0), 1.0f);
    EXPECT_EQ(objects.getInt("mainChar:actorGroup", 0), 1);
    EXPECT_EQ(objects.getInt("mainChar:shapeGroup", 0), 1);
    EXPECT_GT(objects.getFloat("mainChar:maxAngularVelocity", 0), 0.0f);
    EXPECT_EQ(problem(objects, "mainChar:soundFilename", Type::File), "");
    EXPECT_TRUE(materials.hasSection("default"));
    for (int i = 0; i < iniparser_getnsec(objects.dictionary); ++i) {
        const std::string profile = iniparser_getsecname(objects.dictionary, i);
        const std::string material = objects.getString((profile + ":material").c_str(), "");
        EXPECT_TRUE(material.empty() || materials.hasSection(material.c_str()))
            << profile << " uses " << material;
        const std::string item = objects.getString((profile + ":item").c_str(), "");
        EXPECT_TRUE(item.empty() || item == "power" || item == "turbo") << profile;
    }
}
