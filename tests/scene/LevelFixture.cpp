#include "LevelFixture.h"

#include <sstream>

#include "MeshFixtures.h"
#include "TestMaterials.h"
#include "app/StateEffects.h"
#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/ManagerLifetime.h"
#include "core/StateManager.h"
#include "game/SaveStateManager.h"
#include "render/LightManager.h"
#include "render/TextureLoader.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"

namespace {

MeshData box(float halfX, float halfY, float halfZ, float centreY) {
    MeshData data = splitCube();
    for (auto& position : data.positions) {
        position = {position[0] * halfX, position[1] * halfY + centreY, position[2] * halfZ};
    }
    return data;
}

const char* const kMainConfig = R"([Files]
ObjectPropertiesFile = ../objectproperties.ini
PhysXMaterialsFile = ../physicsmaterials.ini
SoundFile = ../sound.ini

[levels]
level1 = ../levels/one/one.scene
level2 = ../levels/two/two.scene
)";

const char* const kPhysicsMaterials = R"([default]
restitution = 0.1
staticFriction = 0.6
dynamicFriction = 0.5

[ball]
restitution = 0.0
dynamicFriction = 0.9

[stone]
restitution = 0.1
dynamicFriction = 0.7

[broken]
restitution = 2.5
)";

} // namespace

const char* const LevelFixture::kMaterials = kTestMaterials;

const char* const LevelFixture::kObjectProperties = R"([mainChar]
actorType = dynamic
shape = sphere
radius = 1.0
mass = 1.0
material = ball
actorGroup = 1
shapeGroup = 1
maxAngularVelocity = 14
angularDamping = 0.3

[floor]
actorType = static
material = stone

[checkPoint]
actorType = static

[finish]
actorType = static

[fog]
actorType = static

[power]
actorType = dynamic
item = power
value = 0.3

[turbobottle]
actorType = dynamic
density = 0.5
item = turbo

[crate]
actorType = dynamic
shape = box
dimensionsX = 0.5
dimensionsY = 0.5
dimensionsZ = 0.5
density = 2
linearVelocityX = 3
linearVelocityY = 0
linearVelocityZ = 0

[gem]
actorType = dynamic
shape = convex
mass = 4

[pyramid]
actorType = dynamic
shape = pyramid

[hot]
actorType = static
material = broken

[humming]
actorType = static
soundFilename = ../sounds/hum.ogg
soundReferenceDistance = 3
)";

LevelFixture::LevelFixture() {
    data.write("Vorn.ini", kMainConfig);
    data.write("objectproperties.ini", kObjectProperties);
    data.write("physicsmaterials.ini", kPhysicsMaterials);
    data.write("sound.ini", "[Common]\ncheckpoint = ../sounds/checkpoint.ogg\n");
    OgreLoader::getInstance()->setGameObjectFactory(&game);
    StateEffects::install(*StateManager::getInstance());
}

LevelFixture::~LevelFixture() {
    SaveStateManager::destroy();
    SceneManager::destroy();
    PhysicsManager::destroy();
    OgreLoader::destroy();
    TextureLoader::destroy();
    SoundManager::destroy();
    LightManager::destroy();
    StateManager::destroy();
    ConfigManager::destroy();
    ManagerLifetime::allowCreation();
}

std::string LevelFixture::sceneXml(const std::vector<TestNode>& nodes) {
    std::ostringstream xml;
    xml << "<scene formatVersion=\"1.0\">\n<nodes>\n";
    for (const TestNode& node : nodes) {
        xml << "<node name=\"" << node.name << "\"><position x=\"" << node.x << "\" y=\"" << node.y
            << "\" z=\"" << node.z << "\"/><rotation " << node.rotation << "/>";
        if (!node.userData.empty()) {
            xml << "<userData>" << node.userData << "</userData>";
        }
        if (!node.entity.empty()) {
            xml << "<entity name=\"" << node.entity << "\" id=\"1\" meshFile=\"" << node.mesh
                << "\"><subentities><subentity index=\"0\" materialName=\"" << node.material
                << "\"/></subentities></entity>";
        }
        xml << "</node>\n";
    }
    xml << "</nodes>\n</scene>\n";
    return xml.str();
}

std::string LevelFixture::writeLevel(const std::string& name, const std::vector<TestNode>& nodes,
                                     const std::string& materials) {
    const std::string folder = "levels/" + name + "/";
    data.write(folder + "models/cube.mesh.xml", meshXml(splitCube(), "Stone"));
    data.write(folder + "models/floor.mesh.xml", meshXml(box(20.0f, 1.0f, 20.0f, -1.0f), "Stone"));
    data.write(folder + "models/wall.mesh.xml", meshXml(box(1.0f, 5.0f, 20.0f, 5.0f), "Stone"));
    data.write(folder + name + ".scene", sceneXml(nodes));
    data.write(folder + name + ".material", materials);
    return "../" + folder + name + ".scene";
}

OgreScene* LevelFixture::loadScene(const std::string& path) {
    return OgreLoader::getInstance()->loadScene(path);
}

void LevelFixture::step(OgreScene& scene, int count) {
    PhysicsManager* physics = PhysicsManager::getInstance();
    physics->setCurrentScene(scene.getPhysicsScene(), true);
    for (int i = 0; i < count; ++i) {
        physics->fetchResults();
        scene.update();
        physics->startStep();
    }
    physics->setCurrentScene(nullptr, false);
}

void LevelFixture::writeSound(const std::string& relative, float seconds) {
    const std::uint32_t rate = 22050;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::string wav = "RIFF";
    const auto put = [&wav](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(36 + samples * 2, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(samples * 2, 4);
    wav += std::string(samples * 2, '\0');
    data.write(relative, wav);
}

std::vector<TestNode> LevelFixture::standardNodes() const {
    return {
        {"Ball", "Ball[mainChar]", "cube.mesh", 0.0f, 1.0f, 0.0f, "qx=\"0\" qy=\"0\" qz=\"0\" qw=\"1\"",
         "Ball"},
        {"Floor", "Floor[floor]", "floor.mesh"},
        {"Pad", "Pad[checkPoint]", "cube.mesh", 10.0f, 1.0f, 10.0f},
        {"Goal", "Goal[finish]", "cube.mesh", -10.0f, 1.0f, 10.0f},
        {"Mist", "Mist[fog]", "cube.mesh", 10.0f, 1.0f, -10.0f},
        {"Gem", "Gem[power]", "cube.mesh", -10.0f, 1.0f, -10.0f},
        {"Empty", ""},
    };
}
