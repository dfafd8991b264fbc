#include <gtest/gtest.h>

#include <AL/al.h>
#include <cstdlib>
#include <iniparser.h>

#include "GameTree.h"
#include "TempDataRoot.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "audio/SoundManager.h"

namespace {

ALint bufferInt(ALuint buffer, ALenum parameter) {
    ALint value = 0;
    alGetBufferi(buffer, parameter, &value);
    return value;
}

// Every file name of one section of the shipped sound file.
std::vector<std::string> soundNames(const Config& config, const char* section) {
    std::vector<std::string> names;
    const int count = iniparser_getsecnkeys(config.dictionary, section);
    std::vector<const char*> keys(std::size_t(std::max(count, 0)));
    iniparser_getseckeys(config.dictionary, section, keys.data());
    for (const char* key : keys) {
        const std::string value = config.getString(key, "");
        if (value.ends_with(".ogg") || value.ends_with(".wav")) {
            names.push_back(value);
        }
    }
    return names;
}

} // namespace

// The game's own sound manager decodes what the generator wrote, by the names the data files use.
class GameSoundsTest : public ::testing::Test {
protected:
    GameSoundsTest() {
        setenv("ALSOFT_DRIVERS", "null", 0);
        std::filesystem::create_directory_symlink(game_tree::root() / "sounds", data.root() / "sounds");
        std::filesystem::copy_file(game_tree::root() / "sound.ini", data.root() / "sound.ini");
        data.write("Vorn.ini", "[Files]\nSoundFile = ../sound.ini\n");
    }
    ~GameSoundsTest() override {
        SoundManager::destroy();
        ConfigManager::destroy();
    }

    TempDataRoot data;
};

TEST_F(GameSoundsTest, EverySoundTheDataNamesDecodesIntoABuffer) {
    SoundManager* sounds = SoundManager::getInstance();
    ASSERT_TRUE(sounds->hasDevice());
    const Config soundFile("../sound.ini");
    std::vector<std::string> names = soundNames(soundFile, "common");
    const std::vector<std::string> collisions = soundNames(soundFile, "collisions");
    names.insert(names.end(), collisions.begin(), collisions.end());
    for (const char* menu : {"background", "click", "click2", "startgame", "gameover", "gamewin"}) {
        names.push_back(std::string("../sounds/menu/") + menu + ".ogg");
    }
    names.push_back("../sounds/fire.ogg");    // the ball's and the torches' own sound
    names.push_back("../sounds/ambient.ogg"); // the first level's background
    ASSERT_GE(names.size(), 20u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const ALuint buffer = sounds->getBuffer(name);
        ASSERT_NE(buffer, 0u);
        EXPECT_GT(bufferInt(buffer, AL_SIZE), 1000);
        EXPECT_EQ(bufferInt(buffer, AL_BITS), 16);
        EXPECT_GE(bufferInt(buffer, AL_FREQUENCY), 22050);
    }
}
