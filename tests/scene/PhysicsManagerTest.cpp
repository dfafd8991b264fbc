#include <gtest/gtest.h>

#include "TempDataRoot.h"
#include "core/ConfigManager.h"
#include "physics/PhysicsScene.h"
#include "scene/PhysicsManager.h"

namespace {

class PhysicsManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        PhysicsManager::destroy();
        ConfigManager::destroy();
    }
    TempDataRoot root;
};

TEST_F(PhysicsManagerTest, ScenesFallBackToSoftwareWithTheGameGravity) {
    PhysicsManager* manager = PhysicsManager::getInstance();
    ASSERT_NE(manager, nullptr);
    PhysicsScene* scene = manager->createScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_FLOAT_EQ(scene->getGravity().y, -19.62f);
    EXPECT_EQ(manager->getCurrentScene(), nullptr);
}

TEST_F(PhysicsManagerTest, ChangingTheCurrentSceneFetchesTheStepInFlight) {
    PhysicsManager* manager = PhysicsManager::getInstance();
    PhysicsScene* first = manager->createScene();
    PhysicsScene* second = manager->createScene();
    manager->setCurrentScene(first, true);
    EXPECT_TRUE(manager->isSimulating());
    EXPECT_TRUE(first->isSimulating());
    manager->setCurrentScene(second, false);
    EXPECT_FALSE(first->isSimulating());
    EXPECT_FALSE(manager->isSimulating());
    manager->startStep();
    EXPECT_TRUE(second->isSimulating());
    manager->setCurrentScene(nullptr, true);
    EXPECT_FALSE(manager->isSimulating());
    EXPECT_FALSE(second->isSimulating());
}

} // namespace
