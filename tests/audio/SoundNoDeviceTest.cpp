#include "SoundTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "core/ConfigManager.h"

namespace {

// Runs in a fresh process: OpenAL picks its backend once per process.
[[noreturn]] void playEverythingWithoutDevice() {
    setenv("ALSOFT_DRIVERS", "vorn-no-such-backend", 1);
    const LogCapture log;
    FakeBody stone("stone", 1.0f), wood("wood", 1.0f);
    FakeScene scene;
    scene.bodies = {{"a", &stone}, {"b", &wood}};

    SoundManager* sounds = SoundManager::getInstance();
    sounds->setListener({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f});
    sounds->loadCollisionSounds(scene);
    for (int i = 0; i < 3; ++i) {
        sounds->playSound("../sounds/tone.ogg");
        sounds->playSound("../sounds/tone.wav");
        sounds->playSound("../sounds/tone.mp3");
        sounds->playCollisionSound(&stone, &wood, {1.0f, 0.0f, 0.0f}, 1.0e6f);
        sounds->pauseSounds(i % 2 == 0);
    }
    const bool silent = !sounds->hasDevice() && !sounds->createSource("../sounds/tone.ogg") &&
                        !sounds->getSource() && !sounds->getSourceAndRemoveFromQueue() &&
                        sounds->getBuffer("../sounds/tone.ogg") == 0 &&
                        !sounds->attachBufferToSource(nullptr, 0) && sounds->getQueueSize() == 0;
    SoundManager::destroy();
    ConfigManager::destroy();

    for (const std::string& line : log.problems()) {
        std::fprintf(stderr, "logged: %s\n", line.c_str());
    }
    const bool loggedOnce = log.count("ERROR", "alutInit() failed: ") == 1 && log.problems().size() == 1;
    std::fprintf(stderr, silent && loggedOnce ? "silent without device\n" : "sound calls misbehaved\n");
    std::fflush(stderr);
    std::_Exit(silent && loggedOnce ? 0 : 1);
}

} // namespace

TEST(SoundNoDeviceTest, EveryCallIsSilentAndTheFailureIsLoggedOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const TempDataRoot data;
    data.write("Vorn.ini", "[Files]\nSoundFile = ../sounds.ini\n");
    data.write("sounds.ini", "[Collisions]\nstone_wood = ../sounds/tone.ogg\n");
    data.write("sounds/tone.ogg", "only the name matters");
    EXPECT_EXIT(playEverythingWithoutDevice(), ::testing::ExitedWithCode(0), "silent without device");
}
