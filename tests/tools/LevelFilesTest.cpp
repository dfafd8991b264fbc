#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "GameTree.h"
#include "TempDataRoot.h"
#include "core/Config.h"

namespace {

struct Box {
    float min[3] = {1e30f, 1e30f, 1e30f};
    float max[3] = {-1e30f, -1e30f, -1e30f};

    bool coversXZ(float x, float z) const { return x >= min[0] && x <= max[0] && z >= min[2] && z <= max[2]; }
};

struct Entity {
    std::string node, name, profile, mesh;
    std::vector<std::string> materials;
    float position[3] = {0, 0, 0};
    Box bounds; // in world space
};

Box meshBounds(const std::filesystem::path& path) {
    Box box;
    pugi::xml_document document;
    document.load_file(path.c_str());
    for (const auto& position : document.select_nodes("//vertex/position")) {
        const float p[3] = {position.node().attribute("x").as_float(),
                            position.node().attribute("y").as_float(),
                            position.node().attribute("z").as_float()};
        for (int i = 0; i < 3; ++i) {
            box.min[i] = std::min(box.min[i], p[i]);
            box.max[i] = std::max(box.max[i], p[i]);
        }
    }
    return box;
}

std::string profileOf(const std::string& name) {
    const std::size_t open = name.find('['), close = name.find(']');
    return open == std::string::npos || close == std::string::npos ? ""
                                                                   : name.substr(open + 1, close - open - 1);
}

std::filesystem::path levelDir(int number) {
    return game_tree::root() / "levels" / ("level" + std::to_string(number));
}

// A moving platform's bounds cover every place its path takes it.
void sweepAlongPath(const pugi::xml_node& node, Entity& e) {
    const std::string path =
        node.child("userData").find_child_by_attribute("property", "name", "path").attribute("data").value();
    std::istringstream points(path);
    for (std::string point; std::getline(points, point, ',');) {
        std::istringstream xyz(point);
        float at[3] = {0, 0, 0};
        xyz >> at[0] >> at[1] >> at[2];
        for (int i = 0; i < 3; ++i) {
            e.bounds.min[i] = std::min(e.bounds.min[i], e.bounds.min[i] - e.position[i] + at[i]);
            e.bounds.max[i] = std::max(e.bounds.max[i], e.bounds.max[i] - e.position[i] + at[i]);
        }
    }
}

std::vector<Entity> loadScene(int number = 1) {
    std::vector<Entity> entities;
    pugi::xml_document document;
    const std::string name = "level" + std::to_string(number);
    EXPECT_TRUE(document.load_file((levelDir(number) / (name + ".scene")).c_str()));
    for (const pugi::xml_node node : document.child("scene").child("nodes").children("node")) {
        Entity e;
        e.node = node.attribute("name").value();
        const pugi::xml_node entity = node.child("entity");
        e.name = entity.attribute("name").value();
        e.profile = profileOf(e.name);
        e.mesh = entity.attribute("meshFile").value();
        for (const pugi::xml_node sub : entity.child("subentities").children("subentity")) {
            e.materials.push_back(sub.attribute("materialName").value());
        }
        const pugi::xml_node position = node.child("position");
        e.position[0] = position.attribute("x").as_float();
        e.position[1] = position.attribute("y").as_float();
        e.position[2] = position.attribute("z").as_float();
        const Box local = meshBounds(levelDir(number) / "models" / (e.mesh + ".xml"));
        for (int i = 0; i < 3; ++i) {
            e.bounds.min[i] = local.min[i] + e.position[i];
            e.bounds.max[i] = local.max[i] + e.position[i];
        }
        sweepAlongPath(node, e);
        entities.push_back(e);
    }
    return entities;
}

// Material name -> texture file name, read the way the scene loader reads the material file.
std::map<std::string, std::string> loadMaterials(int number) {
    std::map<std::string, std::string> textures;
    std::ifstream in(levelDir(number) / ("level" + std::to_string(number) + ".material"));
    std::string line, current;
    int depth = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string token; words >> token;) {
            tokens.push_back(token);
        }
        if (tokens.size() == 1 && tokens[0] == "{") {
            ++depth;
        } else if (tokens.size() == 1 && tokens[0] == "}") {
            --depth;
        } else if (depth == 0 && tokens.size() == 2 && tokens[0] == "material") {
            current = tokens[1];
            textures[current] = "";
        } else if (depth == 4 && tokens.size() >= 2 && tokens[0] == "texture") {
            textures[current] = tokens[1];
        }
    }
    return textures;
}

bool isItem(const std::string& profile) {
    static const std::set<std::string> items = {"power", "powerbottle", "turbo", "turbobottle"};
    return items.contains(profile);
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool walkable(const std::string& profile) {
    static const std::set<std::string> surfaces = {"stone", "grass", "metal", "wood", "ice", "pad", "mover"};
    return surfaces.contains(profile);
}

struct RoutePoint {
    float x, y, z;
    std::string action;
};

std::vector<RoutePoint> loadRoute(int number) {
    std::vector<RoutePoint> route;
    std::ifstream in(levelDir(number) / ("level" + std::to_string(number) + ".route"));
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line.substr(0, line.find('#')));
        RoutePoint point;
        if (fields >> point.x >> point.y >> point.z >> point.action) {
            route.push_back(point);
        }
    }
    return route;
}

// True when some walkable piece has its top at `height` (within `slack`) under (x, z).
bool standsOnGround(const std::vector<Entity>& scene, float x, float height, float z, float slack) {
    return std::any_of(scene.begin(), scene.end(), [&](const Entity& e) {
        return walkable(e.profile) && e.bounds.coversXZ(x, z) && std::fabs(e.bounds.max[1] - height) <= slack;
    });
}

int countOf(const std::vector<Entity>& scene, const std::string& profile) {
    return int(
        std::count_if(scene.begin(), scene.end(), [&](const Entity& e) { return e.profile == profile; }));
}

class LevelFilesTest : public ::testing::Test {
protected:
    TempDataRoot data;
    const std::vector<Entity> scene = loadScene();

    int count(const std::string& profile) const { return countOf(scene, profile); }
};

// What every level of the campaign has in common; the parameter is the level's number.
class CampaignLevelTest : public ::testing::TestWithParam<int> {
protected:
    const int number = GetParam();
    const std::vector<Entity> scene = loadScene(number);
    const std::vector<RoutePoint> route = loadRoute(number);

    int count(const std::string& profile) const { return countOf(scene, profile); }
};

} // namespace

TEST_P(CampaignLevelTest, EveryMeshMaterialAndTextureTheLevelNamesExists) {
    ASSERT_GT(scene.size(), 15u);
    const auto materials = loadMaterials(number);
    std::set<std::string> nodeNames;
    for (const Entity& e : scene) {
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(nodeNames.insert(e.node).second) << "node names must be unique";
        EXPECT_TRUE(std::filesystem::exists(levelDir(number) / "models" / (e.mesh + ".xml")));
        EXPECT_FALSE(e.materials.empty());
        for (const std::string& material : e.materials) {
            ASSERT_TRUE(materials.contains(material)) << material;
            EXPECT_TRUE(std::filesystem::exists(levelDir(number) / "textures" / materials.at(material)));
        }
    }
}

TEST_P(CampaignLevelTest, EveryProfileIsConfiguredAndTheLevelHasAllItsParts) {
    const Config main((game_tree::root() / "Vorn.ini").c_str());
    const Config objects(
        (game_tree::root() / "bin" / main.getString("Files:ObjectPropertiesFile", "")).c_str());
    for (const Entity& e : scene) {
        EXPECT_TRUE(objects.hasSection(lower(e.profile).c_str())) << e.name;
    }
    EXPECT_EQ(count("mainChar"), 1);
    EXPECT_GE(count("checkPoint"), 2);
    EXPECT_EQ(count("finish"), 1);
    EXPECT_EQ(count("fog"), 1);
    EXPECT_GE(count("torch"), 3);
    EXPECT_GE(count("power") + count("powerbottle"), 3);

    // Listed in order, with a name and a par time of its own.
    const std::string name = "level" + std::to_string(number);
    EXPECT_EQ(main.getString(("levels:" + name).c_str(), ""), "../levels/" + name + "/" + name + ".scene");
    const Config level((levelDir(number) / (name + ".ini")).c_str());
    EXPECT_FALSE(level.getString("Level:name", "").empty());
    EXPECT_GT(level.getInt("Level:partime", 0), 20);
}

TEST_F(LevelFilesTest, TheFirstLevelHasSomethingOfEveryKind) {
    EXPECT_GT(scene.size(), 40u);
    EXPECT_GE(count("checkPoint"), 3);
    EXPECT_EQ(count("finish"), 1);
    EXPECT_GE(count("fog"), 1);
    EXPECT_GE(count("torch"), 5);
    EXPECT_GE(count("crate"), 3);
    for (const char* item : {"power", "powerbottle", "turbo", "turbobottle"}) {
        EXPECT_GE(count(item), 1) << item;
    }
    const auto finish =
        std::find_if(scene.begin(), scene.end(), [](const Entity& e) { return e.profile == "finish"; });
    EXPECT_NE(finish->name.find("(t)"), std::string::npos)
        << "the finish glows through, so it is transparent";
}

// A torch's number, the last character of its entity name (1 unless a digit from 2 to 9), is its
// light slot; slot 0 belongs to the ball and there are eight, so torches must not share one.
TEST_P(CampaignLevelTest, EveryTorchHasALightSlotAndARadiusOfItsOwn) {
    const Config main((game_tree::root() / "Vorn.ini").c_str());
    std::set<int> numbers;
    for (const Entity& e : scene) {
        if (e.profile != "torch") {
            continue;
        }
        const char last = e.name.back();
        const int number = last >= '2' && last <= '9' ? last - '0' : 1;
        EXPECT_TRUE(numbers.insert(number).second) << e.name << " shares light slot " << number;
        EXPECT_LT(number, 8) << e.name;
        const std::string key = "torch" + std::to_string(number) + ":radius";
        EXPECT_GT(main.getFloat(key.c_str(), -1), 0.0f) << key;
    }
}

TEST_P(CampaignLevelTest, TheBallCheckpointsAndItemsRestOnWalkableGround) {
    for (const Entity& e : scene) {
        SCOPED_TRACE(e.name);
        if (e.profile == "mainChar") {
            EXPECT_TRUE(standsOnGround(scene, e.position[0], e.bounds.min[1], e.position[2], 0.1f));
        } else if (e.profile == "checkPoint" || e.profile == "torch" || e.profile == "finish") {
            EXPECT_TRUE(standsOnGround(scene, e.position[0], e.position[1], e.position[2], 0.01f));
        } else if (isItem(e.profile)) {
            EXPECT_TRUE(standsOnGround(scene, e.position[0], e.bounds.min[1], e.position[2], 0.05f));
        }
    }
}

// The walkable pieces, in node-name order, are the route. A full jump rises about 5.9 units and
// the ball rolls at most 14 units per second (21 units far in the air); with a boost it carries
// much further, but only when it does not have to climb as well.
TEST_F(LevelFilesTest, EveryStepOfTheRouteCanBeRolledOrJumped) {
    constexpr float kMaxClimb = 4.0f, kMaxRollingJump = 21.0f, kMaxBoostedJump = 28.0f;
    std::vector<const Entity*> route;
    for (const Entity& e : scene) {
        if (walkable(e.profile)) {
            route.push_back(&e);
        }
    }
    ASSERT_GT(route.size(), 20u);
    int boostedJumps = 0;
    for (std::size_t i = 1; i < route.size(); ++i) {
        const Box& from = route[i - 1]->bounds;
        const Box& to = route[i]->bounds;
        SCOPED_TRACE(route[i - 1]->node + " -> " + route[i]->node);
        const float gapX = std::max({0.0f, to.min[0] - from.max[0], from.min[0] - to.max[0]});
        const float gapZ = std::max({0.0f, to.min[2] - from.max[2], from.min[2] - to.max[2]});
        const float gap = std::hypot(gapX, gapZ);
        const bool ramp = route[i - 1]->mesh.find("ramp") != std::string::npos ||
                          route[i]->mesh.find("ramp") != std::string::npos;
        const float climb = to.max[1] - from.max[1];
        if (gap == 0 && ramp) {
            continue; // a ramp joins its neighbours at their heights
        }
        EXPECT_LE(climb, kMaxClimb);
        EXPECT_LE(gap, kMaxBoostedJump);
        if (gap > kMaxRollingJump) {
            EXPECT_LE(climb, 0.0f);
            ++boostedJumps;
        }
    }
    EXPECT_GE(boostedJumps, 1) << "the route should need the boost somewhere";
}

TEST_P(CampaignLevelTest, FogLiesBelowEveryPieceOfTheLevelAndUnderAllOfIt) {
    const auto fog =
        std::find_if(scene.begin(), scene.end(), [](const Entity& e) { return e.profile == "fog"; });
    ASSERT_NE(fog, scene.end());
    for (const Entity& e : scene) {
        if (e.profile == "fog" || e.profile == "mist") {
            continue;
        }
        SCOPED_TRACE(e.name);
        EXPECT_GT(e.bounds.min[1], fog->bounds.max[1] + 5);
        EXPECT_TRUE(fog->bounds.coversXZ(e.bounds.min[0] - 10, e.bounds.min[2] - 10));
        EXPECT_TRUE(fog->bounds.coversXZ(e.bounds.max[0] + 10, e.bounds.max[2] + 10));
    }
}

// The route starts near the ball, stops on every checkpoint, ends in the finish, and every
// waypoint is where the ball's centre passes over ground (a ramp's anywhere along it; a moving
// platform's anywhere it goes).
TEST_P(CampaignLevelTest, TheRouteRunsOverGroundFromTheStartThroughEveryCheckpointToTheFinish) {
    ASSERT_GE(route.size(), 5u);
    const auto find = [&](const std::string& profile) {
        return *std::find_if(scene.begin(), scene.end(),
                             [&](const Entity& e) { return e.profile == profile; });
    };
    const Entity ball = find("mainChar");
    EXPECT_LT(std::hypot(route.front().x - ball.position[0], route.front().z - ball.position[2]), 30.0f);
    const Entity finish = find("finish");
    EXPECT_TRUE(finish.bounds.coversXZ(route.back().x, route.back().z)) << "the route ends in the finish";
    int stops = 0;
    for (const RoutePoint& point : route) {
        SCOPED_TRACE(std::to_string(point.x) + " " + std::to_string(point.y) + " " + std::to_string(point.z));
        const float ground = point.y - 1.0f;
        const bool onGround = std::any_of(scene.begin(), scene.end(), [&](const Entity& e) {
            if (!walkable(e.profile) || !e.bounds.coversXZ(point.x, point.z)) {
                return false;
            }
            if (e.mesh.find("ramp") != std::string::npos) {
                return ground >= e.bounds.min[1] && ground <= e.bounds.max[1] + 0.01f;
            }
            return std::fabs(e.bounds.max[1] - ground) <= 0.01f;
        });
        EXPECT_TRUE(onGround);
        if (point.action == "stop") {
            ++stops;
            EXPECT_TRUE(std::any_of(scene.begin(), scene.end(), [&](const Entity& e) {
                return e.profile == "checkPoint" &&
                       std::hypot(e.position[0] - point.x, e.position[2] - point.z) < 0.5f;
            })) << "a stop on a checkpoint";
        }
    }
    EXPECT_EQ(stops, count("checkPoint")) << "every checkpoint is stopped on";
}

// A pad gives back nearly all of the fall, no more: the ground after a pit must lie well below
// the jump into it, and its wall far enough past the landing for the ball to rise above it first.
TEST(BouncePadTest, EveryPitCanBeLeftByItsBounce) {
    int pads = 0;
    for (int number = 1; number <= 8; ++number) {
        const std::vector<Entity> scene = loadScene(number);
        const std::vector<RoutePoint> route = loadRoute(number);
        for (std::size_t i = 1; i + 1 < route.size(); ++i) {
            const RoutePoint& landing = route[i];
            const auto pad = std::find_if(scene.begin(), scene.end(), [&](const Entity& e) {
                return e.profile == "pad" && e.bounds.coversXZ(landing.x, landing.z);
            });
            if (pad == scene.end()) {
                continue;
            }
            SCOPED_TRACE("level " + std::to_string(number) + " " + pad->node);
            ++pads;
            const RoutePoint& takeOff = route[i - 1];
            const RoutePoint& beyond = route[i + 1];
            EXPECT_EQ(takeOff.action, "jump");
            EXPECT_GE(takeOff.y - landing.y, 11.0f) << "a fall that throws the ball high enough";
            EXPECT_GE(takeOff.y - beyond.y, 2.5f) << "the far ground lies below the jump";
            EXPECT_GT(beyond.y, landing.y) << "the far ground lies above the pit";
            const float wall =
                beyond.z < landing.z ? landing.z - pad->bounds.min[2] : pad->bounds.max[2] - landing.z;
            EXPECT_GE(wall, 5.0f);
            EXPECT_LE(wall, 8.0f);
        }
    }
    EXPECT_GE(pads, 3);
}

INSTANTIATE_TEST_SUITE_P(Campaign, CampaignLevelTest, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Level" + std::to_string(info.param);
                         });
