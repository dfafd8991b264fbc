#include "LevelSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "FuzzSupport.h"
#include "TestMaterials.h"
#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "game/GameObjects.h"
#include "game/MainChar.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

namespace FuzzLevel {

const char* const kScene = R"(<scene formatVersion="1.0">
<environment><colourAmbient r="0.2" g="0.2" b="0.2"/></environment>
<nodes>
<node name="Ball"><position x="0" y="2" z="0"/><rotation qx="0" qy="0" qz="0" qw="1"/>
<entity name="Ball[mainChar]" id="1" meshFile="cube.mesh"><subentities><subentity index="0" materialName="Ball"/></subentities></entity></node>
<node name="Floor"><position x="0" y="0" z="0"/><rotation qx="0" qy="0" qz="0" qw="1"/>
<entity name="Floor[stone]" id="2" meshFile="slab.mesh"><subentities><subentity index="0" materialName="Stone"/></subentities></entity></node>
<node name="Pad"><position x="6" y="1" z="0"/>
<entity name="Pad[checkPoint]" id="3" meshFile="cube.mesh"/></node>
<node name="Goal"><position x="-6" y="1" z="0"/><entity name="Goal[finish]" id="4" meshFile="cube.mesh"/></node>
<node name="Mist"><position x="0" y="1" z="6"/><entity name="Mist[fog]" id="5" meshFile="cube.mesh"/></node>
<node name="Gem"><position x="0" y="1" z="-6"/><entity name="Gem[powerbottle]" id="6" meshFile="gem.mesh"/></node>
<node name="Box"><position x="3" y="1" z="3"/><entity name="Box[crate]" id="7" meshFile="cube.mesh"/></node>
<node name="Lamp"><position x="-3" y="1" z="3"/><entity name="Lamp[torch]" id="8" meshFile="cube.mesh"/></node>
<node name="Empty"/>
</nodes>
</scene>
)";

const char* const kMaterials = kTestMaterials;

const char* const kObjectProperties = R"([mainChar]
actorType = dynamic
shape = sphere
radius = 1.0
mass = 1.0
material = ball
actorGroup = 1
shapeGroup = 1
maxAngularVelocity = 14
angularDamping = 0.3
soundFilename = ../sounds/tick.wav
soundReferenceDistance = 4

[stone]
actorType = static
material = stone

[checkPoint]
actorType = static

[finish]
actorType = static

[fog]
actorType = static

[powerbottle]
actorType = dynamic
density = 0.5
item = power
value = 0.4

[crate]
actorType = dynamic
shape = box
dimensionsX = 1
dimensionsY = 1
dimensionsZ = 1
density = 0.15
material = wood
linearVelocityX = 3
linearVelocityY = 0
linearVelocityZ = 0

[torch]
actorType = static
material = metal
)";

namespace {

const char* const kMainConfig = R"([Files]
ObjectPropertiesFile = ../objectproperties.ini
PhysXMaterialsFile = ../physicsmaterials.ini
SoundFile = ../sound.ini

[levels]
level1 = ../levels/fuzz/fuzz.scene

; the game's fire sizes: the engine's default would make every fire big and slow
[fluid1]
maxParticles = 400
[fluid2]
maxParticles = 200
)";

const char* const kPhysicsMaterials = R"([default]
restitution = 0.1
staticFriction = 0.6
dynamicFriction = 0.5
[ball]
restitution = 0.25
dynamicFriction = 0.9
[stone]
dynamicFriction = 0.7
[wood]
restitution = 0.2
[metal]
dirOfAnisotropyX = 1
[broken]
restitution = 2.5
)";

const char* const kSounds = R"([Common]
powerbottlepickup = ../sounds/tick.wav
checkpoint = ../sounds/tick.wav
[Collisions]
mainChar_stone = ../sounds/tick.wav
crate_stone = ../sounds/tick.wav
)";

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "level: %s\n", what.c_str());
    std::abort();
}

void write(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// A closed box of half sizes (x, y, z), four vertices of its own per face.
std::string boxMeshXml(float x, float y, float z) {
    struct Face {
        float normal[3];
        float corners[4][3];
    };
    const Face faces[] = {
        {{0, 1, 0}, {{-x, y, -z}, {-x, y, z}, {x, y, z}, {x, y, -z}}},
        {{0, -1, 0}, {{-x, -y, -z}, {x, -y, -z}, {x, -y, z}, {-x, -y, z}}},
        {{1, 0, 0}, {{x, -y, -z}, {x, y, -z}, {x, y, z}, {x, -y, z}}},
        {{-1, 0, 0}, {{-x, -y, -z}, {-x, -y, z}, {-x, y, z}, {-x, y, -z}}},
        {{0, 0, 1}, {{-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z}}},
        {{0, 0, -1}, {{-x, -y, -z}, {-x, y, -z}, {x, y, -z}, {x, -y, -z}}},
    };
    std::ostringstream xml;
    xml << "<mesh><submeshes><submesh material=\"Stone\" usesharedvertices=\"false\"><faces count=\"12\">";
    for (int face = 0; face < 6; ++face) {
        const int base = face * 4;
        xml << "<face v1=\"" << base << "\" v2=\"" << base + 1 << "\" v3=\"" << base + 2 << "\"/>"
            << "<face v1=\"" << base << "\" v2=\"" << base + 2 << "\" v3=\"" << base + 3 << "\"/>";
    }
    xml << "</faces><geometry vertexcount=\"24\"><vertexbuffer positions=\"true\" normals=\"true\" "
           "texture_coords=\"1\" texture_coord_dimensions_0=\"2\">";
    for (const Face& face : faces) {
        for (int corner = 0; corner < 4; ++corner) {
            const float* p = face.corners[corner];
            xml << "<vertex><position x=\"" << p[0] << "\" y=\"" << p[1] << "\" z=\"" << p[2]
                << "\"/><normal x=\"" << face.normal[0] << "\" y=\"" << face.normal[1] << "\" z=\""
                << face.normal[2] << "\"/><texcoord u=\"" << (corner == 1 || corner == 2) << "\" v=\""
                << (corner >= 2) << "\"/></vertex>";
        }
    }
    xml << "</vertexbuffer></geometry></submesh></submeshes></mesh>";
    return xml.str();
}

const char* const kGemMesh = R"(<mesh><submeshes><submesh material="Ball"><faces count="4">
<face v1="0" v2="1" v3="2"/><face v1="0" v2="3" v3="1"/><face v1="1" v2="3" v3="2"/><face v1="0" v2="2" v3="3"/>
</faces><geometry vertexcount="4"><vertexbuffer positions="true">
<vertex><position x="0" y="1" z="0"/></vertex><vertex><position x="-1" y="-1" z="1"/></vertex>
<vertex><position x="1" y="-1" z="1"/></vertex><vertex><position x="0" y="-1" z="-1"/></vertex>
</vertexbuffer></geometry></submesh></submeshes></mesh>)";

// A second of silence, 8-bit mono.
std::string silentWav() {
    const std::uint32_t samples = 800;
    std::string wav = "RIFF";
    const auto put = [&wav](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(36 + samples, 4);
    wav += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(8000, 4);
    put(8000, 4);
    put(1, 2);
    put(8, 2);
    wav += "data";
    put(samples, 4);
    return wav + std::string(samples, '\x80');
}

// A level that cannot be played says why, and no exception may have made it so; one that
// can has its main character and an actor for every object.
void check(const OgreScene& scene) {
    if (!scene.isPlayable()) {
        const std::string& reason = scene.getLoadError();
        if (reason.empty()) {
            fail("an unplayable level without a reason");
        }
        if (reason.starts_with(OgreLoader::kLoadFailure) && reason.find("bad_alloc") == std::string::npos) {
            fail("an exception while loading: " + reason);
        }
        return;
    }
    if (!MainChar::of(&scene)) {
        fail("a playable level without its main character");
    }
    for (const auto& [name, node] : scene.nodes) {
        if (node->entity && node->entity->model && !node->entity->model->getActor()) {
            fail("an object without its actor in a playable level: " + name);
        }
    }
}

void step(OgreScene& scene, int count) {
    PhysicsManager* physics = PhysicsManager::getInstance();
    physics->setCurrentScene(scene.getPhysicsScene(), true);
    for (int i = 0; i < count; ++i) {
        physics->fetchResults();
        scene.update();
        physics->startStep();
    }
    physics->setCurrentScene(nullptr, false);
}

GameObjects* gameObjects = nullptr;

} // namespace

void setUp() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    Fuzz::enterScratchDataRoot();
    write("../Vorn.ini", kMainConfig);
    write("../physicsmaterials.ini", kPhysicsMaterials);
    write("../sound.ini", kSounds);
    write("../sounds/tick.wav", silentWav());
    write("../levels/fuzz/models/cube.mesh.xml", boxMeshXml(1, 1, 1));
    write("../levels/fuzz/models/slab.mesh.xml", boxMeshXml(20, 1, 20));
    write("../levels/fuzz/models/gem.mesh.xml", kGemMesh);
    write("../levels/fuzz/models/flat.mesh.xml",
          "<mesh><submeshes><submesh><faces/></submesh></submeshes></mesh>");
    gameObjects = new GameObjects(); // lives as long as the process, like the game's
    OgreLoader::getInstance()->setGameObjectFactory(gameObjects);
}

void load(const std::string& scene, const std::string& materials, const std::string& objectProperties) {
    write(kScenePath, scene);
    write("../levels/fuzz/fuzz.material", materials);
    write("../objectproperties.ini", objectProperties);
    ConfigManager::destroy(); // it keeps the files it read
    OgreScene* level = OgreLoader::getInstance()->loadScene(kScenePath);
    check(*level);
    if (level->isPlayable()) {
        if (SoundManager* sounds = SoundManager::getInstance()) {
            sounds->loadCollisionSounds(*level);
        }
        step(*level, 3);
    }
    PhysicsManager::getInstance()->releaseScene(level->getPhysicsScene());
    delete level;
}

} // namespace FuzzLevel
