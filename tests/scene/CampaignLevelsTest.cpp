#include <gtest/gtest.h>

#include "LevelFixture.h"
#include "model/OgreModel.h"
#include "render/LightManager.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"
#include "ui/LevelLink.h"

namespace {

// Four playable levels, each with a ball and a torch in light slot 1.
class CampaignLevelsTest : public LevelFixture {
protected:
    void SetUp() override {
        std::vector<TestNode> nodes = standardNodes();
        nodes.push_back({"Torch", "Torch[torch]", "cube.mesh", 5.0f, 1.0f, 5.0f});
        for (const char* name : {"one", "two", "three", "four"}) {
            writeLevel(name, nodes);
        }
        data.write("Vorn.ini", std::string(R"([Files]
ObjectPropertiesFile = ../objectproperties.ini
PhysXMaterialsFile = ../physicsmaterials.ini
SoundFile = ../sound.ini

[levels]
level1 = ../levels/one/one.scene
level2 = ../levels/two/two.scene
level3 = ../levels/three/three.scene
level4 = ../levels/four/four.scene
)"));
        data.write("objectproperties.ini",
                   std::string(kObjectProperties) + "\n[torch]\nactorType = static\n");
        data.write("levels/one/one.ini", "[Level]\nname = First Steps\npartime = 90\n");
        data.write("levels/two/two.ini", "[Level]\nname =\npartime = soon\n");
        levels = SceneManager::getInstance();
    }

    // Loads the level on its worker and waits for it.
    void load(int index) {
        levels->loadScene(index);
        levels->waitForLoads();
        ASSERT_EQ(levels->getLevelState(index), SceneManager::LevelState::Loaded)
            << levels->getLoadError(index);
    }

    LightSource* slot(int index) const { return LightManager::getInstance()->lights[index]; }
    LightSource* ballLight(int index) const { return levels->getScene(index)->getMainChar()->ownLight(); }

    SceneManager* levels = nullptr;
};

TEST_F(CampaignLevelsTest, NamesAndParTimesComeFromTheLevelConfigurationWithFallbacks) {
    EXPECT_EQ(levels->getLevelName(0), "First Steps");
    EXPECT_EQ(levels->getParTime(0), 90);
    EXPECT_EQ(levels->getLevelName(1), "Level 2") << "an empty name";
    EXPECT_EQ(levels->getParTime(1), std::nullopt);
    EXPECT_EQ(levels->getLevelName(2), "Level 3") << "no configuration at all";
    EXPECT_EQ(LevelLink::get().levelName(0), "First Steps");
    EXPECT_EQ(LevelLink::get().levelCount(), 4);
}

TEST_F(CampaignLevelsTest, ALevelLoadingBehindTheCurrentOneTakesNoLightSlots) {
    load(0);
    EXPECT_EQ(slot(0), nullptr) << "a loaded level holds no slot before it is current";
    ASSERT_TRUE(levels->setCurrentLevel(0));
    EXPECT_EQ(slot(0), ballLight(0));
    ASSERT_NE(slot(1), nullptr);
    LightSource* torchOne = slot(1);

    load(1);
    EXPECT_EQ(slot(0), ballLight(0)) << "the next level's ball does not take the player's light";
    EXPECT_EQ(slot(1), torchOne) << "nor its torch the current level's torch";

    ASSERT_TRUE(levels->setCurrentLevel(1));
    EXPECT_EQ(slot(0), ballLight(1));
    EXPECT_NE(slot(1), torchOne);
    EXPECT_NE(slot(1), nullptr);

    ASSERT_TRUE(levels->setCurrentLevel(-1));
    for (int index = 0; index < LightManager::kSlots; ++index) {
        EXPECT_EQ(slot(index), nullptr) << index;
    }
}

// Memory after the whole campaign and back to the first level is what it was after two levels.
TEST_F(CampaignLevelsTest, OnlyTheLevelPlayedAndTheNextStayLoaded) {
    LevelLink& link = LevelLink::get();
    load(0);
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(link.enterLevel(index));
        link.settleAround(index);
        levels->waitForLoads();
        const std::vector<int> expected =
            index + 1 < 4 ? std::vector<int>{index, index + 1} : std::vector<int>{index};
        EXPECT_EQ(levels->getLoadedLevels(), expected);
    }
    EXPECT_FALSE(levels->unloadScene(3)) << "the current level stays";
    levels->setCurrentLevel(-1);
    link.loadLevel(0);
    levels->waitForLoads();
    ASSERT_TRUE(link.enterLevel(0));
    link.settleAround(0);
    levels->waitForLoads();
    EXPECT_EQ(levels->getLoadedLevels(), (std::vector<int>{0, 1}));
    EXPECT_EQ(log.count("INFO", "Unloading Scene:"), 4);
    EXPECT_EQ(slot(0), ballLight(0));
}

} // namespace
