#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "MeshFixtures.h"
#include "TempDataRoot.h"
#include "core/ConfigManager.h"
#include "core/ManagerLifetime.h"
#include "scene/OgreLoader.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/TextureLoader.h"
#include "scene/PhysicsManager.h"

// What a loading thread touches of the shared managers while the game thread
// uses them too. Run under the thread sanitizer, these show every unguarded access.
class SharedManagersTest : public ::testing::Test {
protected:
    ~SharedManagersTest() override {
        OgreLoader::destroy();
        TextureLoader::destroy();
        LightManager::destroy();
        ConfigManager::destroy();
        ManagerLifetime::allowCreation();
    }

    TempDataRoot data;
    LogCapture log;
};

TEST_F(SharedManagersTest, TexturesRegisteredFromTwoThreadsAreEachKeptOnce) {
    TextureLoader* textures = TextureLoader::getInstance();
    const auto registerAll = [textures] {
        for (int i = 0; i < 50; ++i) {
            textures->addTexture("../textures/t" + std::to_string(i) + ".png", 0);
        }
    };
    std::thread loader(registerAll);
    registerAll();
    loader.join();
    EXPECT_EQ(textures->countPending(), 50);
}

TEST_F(SharedManagersTest, LightsRegisteredWhileTheGameThreadChoosesLights) {
    LightManager* lights = LightManager::getInstance();
    Frustum::getInstance();
    std::vector<std::unique_ptr<LightSource>> sources;
    for (int slot = 1; slot < LightManager::kSlots; ++slot) {
        sources.push_back(std::make_unique<LightSource>());
        sources.back()->index = slot;
    }
    std::thread loader([&] {
        for (const auto& source : sources) {
            lights->registerLight(source.get());
        }
    });
    for (int frame = 0; frame < 100; ++frame) {
        lights->cullLights();
        lights->getActiveLights();
    }
    loader.join();
    for (int slot = 1; slot < LightManager::kSlots; ++slot) {
        EXPECT_EQ(lights->lights[slot], sources[slot - 1].get());
    }
}

TEST_F(SharedManagersTest, OneMeshLoadedFromTwoThreadsIsParsedOnceAndShared) {
    data.write("models/cube.mesh.xml", meshXml(splitCube()));
    std::unique_ptr<OgreModel> first;
    std::thread loader(
        [&first] { first.reset(OgreLoader::getInstance()->loadModel("../models/cube.mesh")); });
    const std::unique_ptr<OgreModel> second(OgreLoader::getInstance()->loadModel("../models/cube.mesh"));
    loader.join();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->mesh, second->mesh);
    EXPECT_EQ(log.count("trying to load from xml"), 1);
}

TEST_F(SharedManagersTest, AManagerDestroyedAtShutdownIsNotCreatedAgain) {
    TextureLoader* textures = TextureLoader::getInstance();
    ManagerLifetime::endCreation();
    EXPECT_EQ(TextureLoader::getInstance(), textures) << "a living manager is still handed out";
    TextureLoader::destroy();
    EXPECT_EQ(TextureLoader::getInstance(), nullptr);
    EXPECT_EQ(TextureLoader::existingInstance(), nullptr);
    EXPECT_TRUE(log.contains("Manager TextureLoader asked for after shutdown began"));
    EXPECT_EQ(PhysicsManager::getInstance(), nullptr);
    ManagerLifetime::allowCreation();
    EXPECT_NE(TextureLoader::getInstance(), nullptr);
}
