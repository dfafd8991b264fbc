#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "ChildProcess.h"
#include "core/ConfigManager.h"
#include "game/CheckPoint.h"
#include "game/FinishCheckPoint.h"
#include "game/Fog.h"
#include "game/GameObjects.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "scene/OgreLoader.h"
#include "physics/PhysicsScene.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "audio/SoundManager.h"

namespace {

// What the level's files say, read without the game's loader.
struct LevelFacts {
    std::set<std::string> nodes;
    std::map<std::string, std::string> profiles; // entity name -> profile
    int subentities = 0;
    int boundSubentities = 0;
    int boundSubmeshes = 0;
};

std::set<std::string> materialNames(const std::filesystem::path& file) {
    std::set<std::string> names;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string first, name, extra;
        if (words >> first >> name && first == "material" && !(words >> extra)) {
            names.insert(name);
        }
    }
    return names;
}

LevelFacts readFacts(const std::filesystem::path& scene) {
    LevelFacts facts;
    const std::set<std::string> materials =
        materialNames(std::filesystem::path(scene).replace_extension(".material"));
    pugi::xml_document document;
    EXPECT_TRUE(document.load_file(scene.c_str()));
    for (const pugi::xml_node node : document.child("scene").child("nodes").children("node")) {
        facts.nodes.insert(node.attribute("name").value());
        const pugi::xml_node entity = node.child("entity");
        if (!entity) {
            continue;
        }
        const std::string name = entity.attribute("name").value();
        const std::size_t open = name.find('['), close = name.find(']');
        facts.profiles[name] =
            open < close && close != std::string::npos ? name.substr(open + 1, close - open - 1) : "";
        for (const pugi::xml_node subentity : entity.child("subentities").children("subentity")) {
            ++facts.subentities;
            facts.boundSubentities += materials.contains(subentity.attribute("materialName").value()) ? 1 : 0;
        }
        pugi::xml_document mesh;
        EXPECT_TRUE(mesh.load_file(
            (scene.parent_path() / "models" / entity.attribute("meshFile").value()).concat(".xml").c_str()));
        for (const pugi::xml_node submesh : mesh.child("mesh").child("submeshes").children("submesh")) {
            facts.boundSubmeshes += materials.contains(submesh.attribute("material").value()) ? 1 : 0;
        }
    }
    return facts;
}

int countOf(const LevelFacts& facts, const std::string& profile) {
    int count = 0;
    for (const auto& [entity, entityProfile] : facts.profiles) {
        count += entityProfile == profile ? 1 : 0;
    }
    return count;
}

class LevelOneTest : public ::testing::Test {
protected:
    LevelOneTest() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(game.root() / "bin");
        OgreLoader::getInstance()->setGameObjectFactory(&objects);
    }
    ~LevelOneTest() override {
        SceneManager::destroy();
        PhysicsManager::destroy();
        OgreLoader::destroy();
        TextureLoader::destroy();
        SoundManager::destroy();
        ConfigManager::destroy();
        std::filesystem::current_path(previous);
    }

    GameCopy game;
    std::filesystem::path previous;
    GameObjects objects;
};

TEST_F(LevelOneTest, EveryNodeEntityActorAndMaterialOfTheFileIsLoaded) {
    const LevelFacts facts = readFacts(game.root() / "levels/level1/level1.scene");
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_TRUE(levels->loadSceneBlocking(levels->getPath(0))) << levels->getLoadError(0);
    const OgreScene& scene = *levels->getScene(0);

    ASSERT_EQ(scene.nodes.size(), facts.nodes.size());
    int entities = 0;
    int boundSubentities = 0;
    int boundSubmeshes = 0;
    std::map<std::string, int> objects;
    for (const auto& [name, node] : scene.nodes) {
        EXPECT_TRUE(facts.nodes.contains(name)) << name;
        const OgreSceneEntity* entity = node->entity;
        if (!entity) {
            continue;
        }
        ++entities;
        ASSERT_NE(entity->model, nullptr) << entity->name;
        const OgreModel& model = *entity->model;
        EXPECT_EQ(model.profile, facts.profiles.at(entity->name));
        ASSERT_NE(model.actor, nullptr) << entity->name;
        EXPECT_EQ(model.actor->getUserData(), &model);
        EXPECT_FLOAT_EQ(model.actor->getGlobalPosition().y, node->posY) << entity->name;
        for (const OgreSceneSubentity* subentity : entity->subentities) {
            boundSubentities += subentity->material ? 1 : 0;
        }
        for (const auto& [submeshName, submesh] : model.mesh->submeshes) {
            boundSubmeshes += model.getMaterial(submesh) ? 1 : 0;
        }
        objects["item"] += dynamic_cast<const Item*>(&model) ? 1 : 0;
        objects["checkPoint"] += dynamic_cast<const CheckPoint*>(&model) ? 1 : 0;
        objects["fog"] += dynamic_cast<const Fog*>(&model) ? 1 : 0;
        objects["finish"] += dynamic_cast<const FinishCheckPoint*>(&model) ? 1 : 0;
        objects["mainChar"] += dynamic_cast<const MainChar*>(&model) ? 1 : 0;
    }
    EXPECT_EQ(entities, static_cast<int>(facts.profiles.size()));
    // Besides the entities' own actors, each fire (the ball's and every torch's) has its force field's
    // and each item its trigger box.
    const auto fires = static_cast<std::size_t>(countOf(facts, "torch") + countOf(facts, "mainChar"));
    const auto items = static_cast<std::size_t>(countOf(facts, "power") + countOf(facts, "powerbottle") +
                                                countOf(facts, "turbo") + countOf(facts, "turbobottle"));
    EXPECT_EQ(scene.getPhysicsScene()->getNbActors(), facts.profiles.size() + fires + items);
    EXPECT_EQ(boundSubentities, facts.boundSubentities);
    EXPECT_EQ(boundSubentities, facts.subentities) << "every subentity names a material of the level";
    EXPECT_EQ(boundSubmeshes, facts.boundSubmeshes);
    EXPECT_EQ(objects["item"], static_cast<int>(items));
    for (const char* special : {"checkPoint", "fog", "finish", "mainChar"}) {
        EXPECT_EQ(objects[special], countOf(facts, special)) << special;
    }
    EXPECT_EQ(objects["mainChar"], 1);
    EXPECT_GT(TextureLoader::getInstance()->countPending(), 0) << "textures wait for the game thread";
}

} // namespace
