#include <GL/glew.h>
#include <gtest/gtest.h>
#include <chrono>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <GLFW/glfw3.h>
#include <stdexcept>

#include "LevelFixture.h"
#include "core/ConfigManager.h"
#include "physics/PhysicsSDK.h"
#include "platform/Glfw.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "audio/SoundManager.h"
#include "FrameCapture.h"
#include "app/Frame.h"
#include "audio/SoundSource.h"
#include "core/StateManager.h"
#include "game/MainChar.h"
#include "render/LightManager.h"
#include "scene/OgreLoader.h"
#include "scene/ProfileKeys.h"

namespace {

int threadCount() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

// The game's objects, except that a checkpoint cannot be made.
class ThrowingObjects : public GameObjectFactory {
public:
    explicit ThrowingObjects(GameObjectFactory& game) : game(game) {}
    OgreModel* makeGameObject(OgreScene& scene, const OgreSceneNode& node, const ProfileKeys& keys) override {
        if (keys.getProfile() == "checkPoint") {
            throw std::runtime_error("no room for a checkpoint");
        }
        return game.makeGameObject(scene, node, keys);
    }
    void placeGameObject(OgreModel& object) override { game.placeGameObject(object); }
    PhysicsContactReport* getContactReport() override { return game.getContactReport(); }
    PhysicsTriggerReport* getTriggerReport() override { return game.getTriggerReport(); }

private:
    GameObjectFactory& game;
};

class SceneManagerTest : public LevelFixture {
protected:
    void SetUp() override {
        levelOne = writeLevel("one", standardNodes());
        std::vector<TestNode> noBall = standardNodes();
        noBall.erase(noBall.begin());
        writeLevel("two", noBall);
        SoundManager::getInstance(); // its audio threads start before any count
    }

    // Replaces a level's material file by a pipe, so loading that level waits in
    // it until release() writes the materials.
    void hold(const std::string& level) {
        pipe = data.root() / "levels" / level / (level + ".material");
        std::filesystem::remove(pipe);
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    }

    // Waits until the loading thread has opened the pipe, then lets it go on.
    void release() {
        int fd = -1;
        for (int attempt = 0; attempt < 1000 && fd < 0; ++attempt) {
            fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        ASSERT_GE(fd, 0) << "nobody reads the level's materials";
        fcntl(fd, F_SETFL, 0);
        const std::string text = kMaterials;
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
    }

    std::string levelOne;
    std::filesystem::path pipe;
};

TEST_F(SceneManagerTest, LevelLoadsOnOneWorkerWhileTheGameThreadGoesOn) {
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_EQ(levels->getLevelCount(), 2);
    hold("one");
    const int before = threadCount();
    levels->loadScene(0);
    levels->loadScene(levelOne);
    levels->loadScene(0);
    EXPECT_EQ(threadCount(), before + 1) << "one thread per level, however often it is asked for";
    EXPECT_EQ(levels->getLevelState(0), SceneManager::LevelState::Loading);
    EXPECT_FALSE(levels->isFirstLevelLoaded());
    EXPECT_FALSE(levels->setCurrentLevel(0));
    EXPECT_EQ(levels->getCurrentLevel(), -1);
    EXPECT_EQ(levels->getCurrentScene(), nullptr);

    release();
    levels->waitForLoads();
    EXPECT_EQ(log.count("INFO", "Loading Scene:"), 1);
    ASSERT_EQ(levels->getLevelState(0), SceneManager::LevelState::Loaded) << levels->getLoadError(0);
    EXPECT_TRUE(levels->isFirstLevelLoaded());
    EXPECT_TRUE(levels->setCurrentLevel(0));
    PhysicsManager* physics = PhysicsManager::getInstance();
    EXPECT_EQ(physics->getCurrentScene(), levels->getScene(0)->getPhysicsScene());
    EXPECT_TRUE(physics->isSimulating());
    EXPECT_NE(levels->getCurrentScene()->getMainChar(), nullptr);

    physics->fetchResults();
    EXPECT_TRUE(levels->setCurrentLevel(levelOne));
    EXPECT_FALSE(physics->isSimulating()) << "the current level again leaves the physics manager alone";
    EXPECT_TRUE(levels->setCurrentLevel(-1));
    EXPECT_EQ(physics->getCurrentScene(), nullptr);
}

// The game's own frames go on in play while a second level loads on its worker: physics
// steps with the ball rolling, lights culled, the level drawn with its shadows, sounds
// playing and the HUD drawn, while the worker reads files, builds the physics scene,
// makes a ball with its light and sound and registers textures and sounds. The thread
// sanitizer's build runs it too.
TEST_F(SceneManagerTest, TheGameGoesOnInPlayWhileASecondLevelLoads) {
    for (const char* folder : {"shaders", "textures", "sounds"}) {
        std::filesystem::copy(std::filesystem::path(VORN_GAME_DIR) / folder, data.root() / folder,
                              std::filesystem::copy_options::recursive);
    }
    // The game's own settings (fire, lights, camera), on a small window, with the test levels.
    std::ifstream gameSettings(std::string(VORN_GAME_DIR) + "/Vorn.ini");
    std::string settings((std::istreambuf_iterator<char>(gameSettings)), std::istreambuf_iterator<char>());
    const auto replace = [&settings](const std::string& from, const std::string& to) {
        ASSERT_NE(settings.find(from), std::string::npos) << from;
        settings.replace(settings.find(from), from.size(), to);
    };
    replace("width = 640", "width = 320");
    replace("height = 480", "height = 240");
    for (int n = 8; n >= 2; --n) { // the game's own levels after the first
        const std::string level = "level" + std::to_string(n);
        replace(level + " = ../levels/" + level + "/" + level + ".scene\n", "");
    }
    replace("level1 = ../levels/level1/level1.scene",
            "level1 = ../levels/one/one.scene\nlevel2 = ../levels/two/two.scene");
    data.write("Vorn.ini", settings);
    std::string properties = kObjectProperties;
    properties.insert(properties.find("[mainChar]\n") + 11, "soundFilename = ../sounds/roll.wav\n");
    data.write("objectproperties.ini", properties);
    writeSound("sounds/roll.wav", 1.0f);
    writeLevel("two", standardNodes());
    ConfigManager::destroy();                      // the sound manager read the old files
    StateManager::getInstance()->clearListeners(); // the game installs its own

    init();
    SceneManager* levels = SceneManager::getInstance();
    levels->waitForLoads();
    ASSERT_TRUE(levels->setCurrentLevel(0)) << levels->getLoadError(0);
    StateManager::getInstance()->setState(IN_GAME);
    MainChar* ball = MainChar::current();
    ASSERT_NE(ball, nullptr);
    const Vector3 start = *ball->getPosition();
    Glfw::deliverKey(GLFW_KEY_W, GLFW_PRESS);

    hold("two");
    levels->loadScene(1);
    const auto frame = [] {
        update();
        render();
    };
    for (int i = 0; i < 3; ++i) {
        frame();
    }
    release();
    int frames = 0;
    bool lit = false;
    bool heard = false;
    while (levels->getLevelState(1) == SceneManager::LevelState::Loading || frames < 10) {
        frame();
        ++frames;
        lit = lit || !LightManager::getInstance()->getActiveLights().empty();
        heard = heard || ball->soundSource->isPlaying();
    }
    Glfw::deliverKey(GLFW_KEY_W, GLFW_RELEASE);
    EXPECT_EQ(levels->getLevelState(1), SceneManager::LevelState::Loaded) << levels->getLoadError(1);
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME);
    EXPECT_GT((*ball->getPosition() - start).length(), 0.1f) << "the ball rolled: physics steps ran";
    EXPECT_TRUE(lit);
    EXPECT_TRUE(heard);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const FrameCapture shown = FrameCapture::take(320, 240);
    shown.save("scene-play-while-a-level-loads");
    EXPECT_GT(shown.countBrighter(0, 0, 320, 240, 60), 320 * 240 / 20) << "the level and the HUD are drawn";
    shutdown();
}

TEST_F(SceneManagerTest, ALevelThatCannotBePlayedFailsWithItsReasonAndCanBeTriedAgain) {
    SceneManager* levels = SceneManager::getInstance();
    levels->loadScene(1);
    levels->waitForLoads();
    EXPECT_EQ(levels->getLevelState(1), SceneManager::LevelState::Failed);
    EXPECT_NE(levels->getLoadError(1).find("no main character"), std::string::npos);
    EXPECT_EQ(levels->getScene(1), nullptr);
    EXPECT_FALSE(levels->setCurrentLevel(1));
    EXPECT_EQ(PhysicsManager::getInstance()->getSDK()->getNbScenes(), 0u)
        << "its physics scene is given back";

    // While it is tried again it is loading, not failed, until the new result is in.
    writeLevel("two", standardNodes());
    hold("two");
    levels->loadScene(1);
    EXPECT_EQ(levels->getLevelState(1), SceneManager::LevelState::Loading);
    release();
    levels->waitForLoads();
    EXPECT_EQ(levels->getLevelState(1), SceneManager::LevelState::Loaded);
    EXPECT_EQ(levels->getLoadError(1), "");
}

// What throws on a loading thread would end the game without a word in the log.
TEST_F(SceneManagerTest, NothingALevelThrowsEndsTheGameItFailsTheLevelWithItsReason) {
    // A texture name longer than the system takes: looking for its normal map threw.
    const std::string longName = std::string(300, 'x') + ".png";
    writeLevel("one", standardNodes(),
               std::string(kMaterials) +
                   "material Long\n{\n technique\n {\n  pass\n  {\n   texture_unit\n"
                   "   {\n    texture " +
                   longName + "\n   }\n  }\n }\n}\n");
    SceneManager* levels = SceneManager::getInstance();
    levels->loadScene(0);
    levels->waitForLoads();
    EXPECT_EQ(levels->getLevelState(0), SceneManager::LevelState::Loaded) << levels->getLoadError(0);

    ThrowingObjects throwing(game);
    OgreLoader::getInstance()->setGameObjectFactory(&throwing);
    levels->loadScene(1);
    levels->waitForLoads();
    OgreLoader::getInstance()->setGameObjectFactory(&game);
    EXPECT_EQ(levels->getLevelState(1), SceneManager::LevelState::Failed);
    EXPECT_EQ(levels->getLoadError(1), "The level could not be loaded: no room for a checkpoint");
    EXPECT_TRUE(log.contains("no room for a checkpoint"));
    EXPECT_EQ(PhysicsManager::getInstance()->getSDK()->getNbScenes(), 1u)
        << "the failed level's is given back";
}

TEST_F(SceneManagerTest, UnknownLevelsAreRefusedByIndexAndByName) {
    SceneManager* levels = SceneManager::getInstance();
    levels->loadScene(7);
    EXPECT_TRUE(log.contains("No such Scene '7'"));
    EXPECT_FALSE(levels->setCurrentLevel(2));
    EXPECT_TRUE(log.contains("No such Level: 2"));
    EXPECT_FALSE(levels->setCurrentLevel("../levels/three/three.scene"));
    EXPECT_TRUE(log.contains("No scene '../levels/three/three.scene' exists, no level change comitted!"));
    EXPECT_EQ(levels->getLevelState(5), SceneManager::LevelState::NotLoaded);
}

TEST_F(SceneManagerTest, LevelListStopsAtTheFirstMissingNumber) {
    data.write("Vorn.ini", "[Files]\nObjectPropertiesFile = ../objectproperties.ini\n"
                           "PhysXMaterialsFile = ../physicsmaterials.ini\n"
                           "[levels]\nlevel1 = ../levels/one/one.scene\nlevel3 = ../levels/two/two.scene\n");
    ConfigManager::destroy(); // the sound manager made it read the old file
    EXPECT_EQ(SceneManager::getInstance()->getLevelCount(), 1);
    EXPECT_TRUE(log.contains("Scene Path: ../levels/one/one.scene loaded into pathCache."));
}

// Sound files are decoded outside the sound manager's lock: a level decoding a
// long file must not stall the game thread's sound calls meanwhile.
TEST_F(SceneManagerTest, DecodingASoundLeavesTheSoundManagerFree) {
    const std::string ogg = std::string(VORN_GAME_DIR) + "/sounds/checkpoint.ogg";
    ASSERT_TRUE(std::filesystem::exists(ogg));
    pipe = data.root() / "sounds/slow.ogg";
    std::filesystem::create_directories(pipe.parent_path());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    SoundManager* sounds = SoundManager::getInstance();
    auto decoding =
        std::async(std::launch::async, [sounds] { return sounds->getBuffer("../sounds/slow.ogg"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto query = std::async(std::launch::async, [sounds] { return sounds->getQueueSize(); });
    EXPECT_EQ(query.wait_for(std::chrono::seconds(2)), std::future_status::ready);

    int fd = open(pipe.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    std::ifstream in(ogg, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    const ALuint decoded = decoding.get();
    EXPECT_NE(decoded, 0u);
    EXPECT_EQ(sounds->getBuffer("../sounds/slow.ogg"), decoded) << "decoded once and kept";
}

} // namespace
