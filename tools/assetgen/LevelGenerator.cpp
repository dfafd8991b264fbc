#include "LevelGenerator.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <pugixml.hpp>
#include <stdexcept>

namespace {

constexpr float kTexelScale = 4.0f; // world units per texture repeat on level geometry

struct Colour3 {
    float r, g, b, a;
};

struct MaterialDefinition {
    const char* name;
    const char* texture;
    Colour3 ambient, diffuse;
    float specular, shininess;
    Colour3 emissive;
};

const MaterialDefinition kMaterials[] = {
    {"Stone", "stone.dds", {0.6f, 0.6f, 0.6f, 1}, {0.9f, 0.9f, 0.9f, 1}, 0.15f, 12, {0, 0, 0, 1}},
    {"Grass", "grass.dds", {0.6f, 0.6f, 0.6f, 1}, {0.9f, 0.95f, 0.9f, 1}, 0.05f, 8, {0, 0, 0, 1}},
    {"Metal", "metal.dds", {0.5f, 0.5f, 0.55f, 1}, {0.8f, 0.8f, 0.85f, 1}, 0.8f, 64, {0, 0, 0, 1}},
    {"Wood", "wood.png", {0.6f, 0.6f, 0.6f, 1}, {0.9f, 0.9f, 0.9f, 1}, 0.1f, 10, {0, 0, 0, 1}},
    {"Ball", "ember.dds", {1, 1, 1, 1}, {1, 1, 1, 1}, 0.5f, 32, {0.6f, 0.3f, 0.08f, 1}},
    {"PowerItem", "power.dds", {1, 1, 1, 1}, {1, 1, 1, 1}, 0.9f, 48, {0.7f, 0.5f, 0.1f, 1}},
    {"TurboItem", "turbo.dds", {1, 1, 1, 1}, {1, 1, 1, 1}, 0.9f, 48, {0.1f, 0.4f, 0.8f, 1}},
    {"Checkpoint", "glow.dds", {0.8f, 0.8f, 0.8f, 1}, {1, 1, 1, 1}, 0.6f, 32, {0.15f, 0.3f, 0.45f, 1}},
    {"Finish", "finish.dds", {1, 1, 1, 1}, {1, 1, 1, 0.55f}, 0.3f, 16, {0.5f, 0.4f, 0.1f, 1}},
    {"Mist", "mist.dds", {1, 1, 1, 1}, {1, 1, 1, 0.8f}, 0, 1, {0.1f, 0.05f, 0.15f, 1}},
};

std::string dimension(float v) {
    char text[16];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

std::string withProfile(const std::string& name, const std::string& profile) {
    return name + "[" + profile + "]";
}

// A bottle of radius about 0.45 and height 1.4, centred on the origin.
const std::vector<std::pair<float, float>> kBottleProfile = {
    {0.0f, -0.7f},  {0.4f, -0.7f}, {0.45f, -0.6f}, {0.45f, 0.1f}, {0.35f, 0.3f},
    {0.15f, 0.42f}, {0.15f, 0.6f}, {0.2f, 0.62f},  {0.2f, 0.7f},  {0.0f, 0.7f},
};

// A torch stand with its base at the origin and its bowl 2.6 high.
const std::vector<std::pair<float, float>> kTorchProfile = {
    {0.0f, 0.0f},   {0.5f, 0.0f}, {0.5f, 0.15f}, {0.18f, 0.3f}, {0.14f, 2.2f},
    {0.45f, 2.45f}, {0.5f, 2.6f}, {0.4f, 2.6f},  {0.0f, 2.45f},
};

constexpr float kItemHalfHeight = 0.5f;
constexpr float kBottleHalfHeight = 0.7f;

} // namespace

void LevelGenerator::addSharedModels() {
    meshes["ball.mesh"].addSphere("Ball", 1.0f, 32, 16);
    meshes["power.mesh"].addOctahedron("PowerItem", 0.35f, kItemHalfHeight);
    meshes["turbo.mesh"].addOctahedron("TurboItem", 0.35f, kItemHalfHeight);
    meshes["powerbottle.mesh"].addLathe("PowerItem", kBottleProfile, 16, 1.0f);
    meshes["turbobottle.mesh"].addLathe("TurboItem", kBottleProfile, 16, 1.0f);
    meshes["checkpoint.mesh"].addPrism("Checkpoint", 4.0f, -0.4f, 0.1f, 8, 4.0f);
    meshes["finish.mesh"].addPrism("Finish", 2.5f, 0.05f, 5.0f, 12, 2.5f);
    meshes["torch.mesh"].addLathe("Metal", kTorchProfile, 12, 2.0f);
    meshes["crate.mesh"].addBox("Wood", {-1, -1, -1}, {1, 1, 1}, 2.0f);
    meshes["pillar.mesh"].addPrism("Stone", 0.9f, 0.0f, 8.0f, 8, kTexelScale);
    // Posts and lintel are separate closed blocks; the lintel overhangs so no edge is shared.
    Mesh& arch = meshes["arch.mesh"];
    arch.addBox("Stone", {-5.0f, 0.0f, -0.6f}, {-4.0f, 7.0f, 0.6f}, kTexelScale);
    arch.addBox("Stone", {4.0f, 0.0f, -0.6f}, {5.0f, 7.0f, 0.6f}, kTexelScale);
    arch.addBox("Stone", {-5.2f, 7.0f, -0.8f}, {5.2f, 8.5f, 0.8f}, kTexelScale);
}

std::string LevelGenerator::sizedMesh(const std::string& kind, const std::string& material, Vec3 size) {
    std::string lower = material;
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower + "_" + kind + "_" + dimension(size.x) + "x" + dimension(size.y) + "x" + dimension(size.z) +
           ".mesh";
}

void LevelGenerator::place(const std::string& name, const std::string& profile, const std::string& mesh,
                           Vec3 position, bool castShadows, const std::string& suffix) {
    nodes.push_back({name, withProfile(name, profile) + suffix, mesh, position, castShadows});
}

void LevelGenerator::slab(const std::string& name, const std::string& material, float x0, float x1, float z0,
                          float z1, float top, float thickness) {
    const Vec3 size{x1 - x0, thickness, z1 - z0};
    const std::string mesh = sizedMesh("slab", material, size);
    if (!meshes.contains(mesh)) {
        meshes[mesh].addBox(material, size * -0.5f, size * 0.5f, kTexelScale);
    }
    std::string profile = material;
    profile[0] = char(std::tolower(static_cast<unsigned char>(profile[0])));
    place(name, profile, mesh, {(x0 + x1) / 2, top - thickness / 2, (z0 + z1) / 2});
}

void LevelGenerator::ramp(const std::string& name, const std::string& material, float x0, float x1, float z0,
                          float z1, float from, float to) {
    // The wedge stands on a base two units below its lower end; corners are relative to its centre.
    const float bottom = std::min(from, to) - 2.0f;
    const float top = std::max(from, to);
    const Vec3 centre{(x0 + x1) / 2, (bottom + top) / 2, (z0 + z1) / 2};
    const float hx = (x1 - x0) / 2, hz = (z1 - z0) / 2;
    const float yb = bottom - centre.y, yFar = to - centre.y, yNear = from - centre.y;
    const std::string mesh =
        sizedMesh(to > from ? "rampup" : "rampdown", material, {x1 - x0, top - bottom, z1 - z0});
    if (!meshes.contains(mesh)) {
        meshes[mesh].addHexahedron(material,
                                   {{{-hx, yb, -hz},
                                     {hx, yb, -hz},
                                     {hx, yb, hz},
                                     {-hx, yb, hz},
                                     {-hx, yFar, -hz},
                                     {hx, yFar, -hz},
                                     {hx, yNear, hz},
                                     {-hx, yNear, hz}}},
                                   kTexelScale);
    }
    std::string profile = material;
    profile[0] = char(std::tolower(static_cast<unsigned char>(profile[0])));
    place(name, profile, mesh, centre);
}

void LevelGenerator::waypoint(Vec3 ground, const std::string& action) {
    route.push_back({ground + Vec3{0, 1, 0}, action});
}

void LevelGenerator::item(const std::string& name, const std::string& profile, Vec3 ground) {
    const bool bottle = profile.find("bottle") != std::string::npos;
    const float lift = (bottle ? kBottleHalfHeight : kItemHalfHeight) + 0.02f;
    place(name, profile, profile + ".mesh", ground + Vec3{0, lift, 0});
}

void LevelGenerator::torch(const std::string& name, int number, Vec3 ground) {
    // The torch number is the entity name's last character (1 when it is no digit from 2 to 9); it
    // picks the light radius and the light slot, so each torch gets a number of its own.
    place(name, "torch", "torch.mesh", ground, true, number > 1 ? std::to_string(number) : "");
}

void LevelGenerator::crate(const std::string& name, Vec3 ground) {
    place(name, "crate", "crate.mesh", ground + Vec3{0, 1.02f, 0});
}

void LevelGenerator::buildFirstLevel() {
    addSharedModels();

    // The route runs towards -z (the camera's forward direction at the start), with a detour east
    // over a bridge and one back west over planks. Heights are the tops of the walkable surfaces.

    // Start: a wide stone square, the ball above its centre, a torch behind it.
    slab("A00_Start", "Stone", 8, 24, -243, -227, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {16, 21.05f, -235});
    torch("A01_Torch", 1, {9.5f, 20, -228.5f});

    // A straight grass path to learn rolling, with the first energy.
    slab("A10_Path", "Grass", 12, 20, -283, -243, 20);
    item("A11_Power", "power", {16, 20, -258});
    item("A12_Power", "power", {16, 20, -272});
    waypoint({16, 20, -258});
    waypoint({16, 20, -272});
    waypoint({16, 20, -281.5f}, "jump");

    // First gap (6 units): a plain jump. Then a square with crates in the way.
    slab("A20_Square", "Stone", 10, 22, -301, -289, 20);
    crate("A21_Crate", {14, 20, -295});
    crate("A22_Crate", {18.5f, 20, -296.5f});
    crate("A23_Crate", {11.5f, 20, -298.5f});
    waypoint({16, 20, -291});
    waypoint({16.25f, 20, -297}); // between the first two crates

    // Up a metal ramp to the first checkpoint.
    ramp("A30_Ramp", "Metal", 12, 20, -321, -301, 20, 26);
    slab("A40_Checkpoint1Ground", "Stone", 10, 22, -337, -321, 26);
    place("A41_Checkpoint1", "checkPoint", "checkpoint.mesh", {16, 26, -329});
    torch("A42_Torch", 2, {11, 26, -322.5f});
    waypoint({16, 20, -302});
    waypoint({16, 26, -322});
    waypoint({16, 26, -329}, "stop");
    waypoint({16, 26, -335.5f}, "jump");

    // Stepping stones over the dark, each a jump of 5.5 to 6.5 units, rising and falling.
    slab("B00_Stone", "Stone", 13.5f, 18.5f, -347.5f, -342.5f, 26);
    slab("B01_Stone", "Stone", 16.5f, 21.5f, -359, -354, 27);
    item("B02_Power", "power", {19, 27, -356.5f});
    slab("B03_Stone", "Stone", 12.5f, 17.5f, -370.5f, -365.5f, 28);
    item("B04_Turbo", "turbo", {15, 28, -368});
    slab("B05_Stone", "Stone", 13.5f, 18.5f, -382, -377, 27);
    // Nearly straight from stone to stone (a jump changes the way little), close enough to the items.
    waypoint({16.5f, 26, -345}, "jump");
    waypoint({18, 27, -356.5f}, "jump");
    waypoint({16, 28, -368}, "jump");
    waypoint({16.5f, 27, -379.5f}, "jump");

    // A grass landing, then east over a long wooden bridge.
    slab("B10_Landing", "Grass", 9, 23, -402, -388, 26);
    item("B11_PowerBottle", "powerbottle", {16, 26, -395});
    place("B12_Pillar", "pillar", "pillar.mesh", {10.5f, 26, -400.5f});
    place("B13_Pillar", "pillar", "pillar.mesh", {21.5f, 26, -389.5f});
    slab("B20_Bridge", "Wood", 23, 63, -397, -393, 26, 1.0f);
    item("B21_Power", "power", {33, 26, -395});
    item("B22_Power", "power", {53, 26, -395});
    slab("B30_Checkpoint2Ground", "Metal", 63, 77, -402, -388, 26);
    place("B31_Checkpoint2", "checkPoint", "checkpoint.mesh", {70, 26, -395});
    torch("B32_Torch", 3, {75.5f, 26, -389.5f});
    waypoint({16, 26, -394});
    waypoint({21, 26, -395});
    waypoint({33, 26, -395});
    waypoint({53, 26, -395});
    waypoint({70, 26, -395}, "stop");

    // North again: three steps of three units, each needs a jump.
    slab("C00_Step", "Stone", 66, 74, -408, -402, 29, 5.0f);
    slab("C01_Step", "Stone", 66, 74, -414, -408, 32, 8.0f);
    slab("C02_Step", "Stone", 66, 74, -420, -414, 35, 11.0f);
    // Each take-off leaves room to rise above the next riser before reaching it.
    waypoint({70, 26, -397.5f}, "jump");
    waypoint({70, 29, -403.5f}, "jump");
    waypoint({70, 32, -409.5f}, "jump");
    waypoint({70, 35, -416});

    // The run-up to the long gap: turbo to collect, an arch to roll through.
    slab("C10_RunUp", "Stone", 64, 76, -436, -420, 35);
    place("C11_Arch", "arch", "arch.mesh", {70, 35, -423});
    item("C12_TurboBottle", "turbobottle", {67, 35, -429});
    item("C13_Turbo", "turbo", {73, 35, -429});
    // Through the arch, over the turbo bottle and straight on towards the third checkpoint.
    waypoint({68.5f, 35, -423});
    waypoint({67.2f, 35, -428});
    waypoint({67.3f, 35, -430}, "boost");
    waypoint({67.5f, 35, -434.5f}, "jump");

    // The long gap (26 units): rolling speed alone falls short, a boost before the jump carries.
    slab("C20_Checkpoint3Ground", "Grass", 62, 78, -478, -462, 35);
    place("C21_Checkpoint3", "checkPoint", "checkpoint.mesh", {70, 35, -470});
    item("C22_PowerBottle", "powerbottle", {75, 35, -466});
    torch("C23_Torch", 4, {63.5f, 35, -463.5f});
    waypoint({70, 35, -470}, "stop");

    // Down a stone ramp into a corridor of arches with crates to push aside.
    ramp("D00_Ramp", "Stone", 65, 75, -498, -478, 35, 29);
    slab("D10_Corridor", "Stone", 65, 75, -538, -498, 29);
    place("D11_Arch", "arch", "arch.mesh", {70, 29, -506});
    place("D12_Arch", "arch", "arch.mesh", {70, 29, -520});
    place("D13_Arch", "arch", "arch.mesh", {70, 29, -534});
    crate("D14_Crate", {68, 29, -512});
    crate("D15_Crate", {72.5f, 29, -527});
    item("D16_Power", "power", {72, 29, -514});
    item("D17_Power", "power", {68, 29, -529});
    torch("D18_Torch", 5, {74, 29, -499.5f});
    waypoint({70, 35, -479});
    waypoint({70, 29, -500});
    waypoint({71.5f, 29, -508});
    waypoint({72, 29, -514});
    waypoint({70, 29, -520});
    waypoint({68, 29, -529});
    waypoint({70, 29, -536});

    // Narrow planks that wind west, with a fourth checkpoint halfway.
    slab("D20_Plank", "Wood", 68.5f, 71.5f, -558, -538, 29, 1.0f);
    slab("D21_Corner", "Metal", 66, 74, -566, -558, 29);
    item("D22_Power", "power", {70, 29, -562});
    slab("D23_Plank", "Wood", 46, 66, -563.5f, -560.5f, 29, 1.0f);
    slab("D24_Checkpoint4Ground", "Stone", 36, 46, -567, -557, 29);
    place("D25_Checkpoint4", "checkPoint", "checkpoint.mesh", {41, 29, -562});
    slab("D26_Plank", "Wood", 39.5f, 42.5f, -587, -567, 29, 1.0f);
    slab("D27_Corner", "Stone", 37, 45, -595, -587, 29);
    item("D28_Power", "power", {41, 29, -591});
    torch("D29_Torch", 6, {38, 29, -594});
    waypoint({70, 29, -540});
    waypoint({70, 29, -555});
    waypoint({70, 29, -562});
    waypoint({64, 29, -562});
    waypoint({48, 29, -562});
    waypoint({41, 29, -562}, "stop");
    waypoint({41, 29, -568});
    waypoint({41, 29, -585});
    waypoint({41, 29, -593.5f}, "jump");

    // Two small metal islands, each a step higher, then the finish.
    slab("E00_Island", "Metal", 37, 45, -611, -603, 30);
    slab("E01_Island", "Metal", 37, 45, -627, -619, 31);
    item("E02_Power", "power", {41, 31, -623});
    // Each island is landed on near its front and left from its back, room to set the speed.
    waypoint({41, 30, -605});
    waypoint({41, 30, -609}, "jump");
    waypoint({41, 31, -621});
    waypoint({41, 31, -625}, "jump");
    slab("E10_FinishGround", "Stone", 33, 49, -649, -633, 31);
    place("E11_Gate", "arch", "arch.mesh", {41, 31, -643});
    place("E12_Finish", "finish", "finish.mesh", {41, 31, -643}, false, "(t)");
    torch("E13_Torch", 7, {47.5f, 31, -634.5f});
    waypoint({41, 31, -638});
    waypoint({41, 31, -643});

    // Below everything: the fog that ends the game, and a mist floor under it that shows where it is.
    const Vec3 fogSize{160, 6, 500};
    const std::string fogMesh = sizedMesh("volume", "Mist", fogSize);
    meshes[fogMesh].addBox("Mist", fogSize * -0.5f, fogSize * 0.5f, 40.0f);
    place("Z00_Fog", "fog", fogMesh, {45, 2, -440}, false);
    const Vec3 mistSize{160, 1, 500};
    const std::string mistMesh = sizedMesh("slab", "Mist", mistSize);
    meshes[mistMesh].addBox("Mist", mistSize * -0.5f, mistSize * 0.5f, 40.0f);
    place("Z01_Mist", "mist", mistMesh, {45, 3.5f, -440}, false, "(t)");
}

void LevelGenerator::writeScene() const {
    pugi::xml_document document;
    pugi::xml_node scene = document.append_child("scene");
    scene.append_attribute("formatVersion") = "1.0";
    scene.append_attribute("upAxis") = "y";
    scene.append_attribute("unitsPerMeter") = "1";
    scene.append_attribute("minOgreVersion") = "1.4";
    scene.append_attribute("author") = "Vorn assetgen";
    pugi::xml_node environment = scene.append_child("environment");
    auto colour = [](pugi::xml_node node, float r, float g, float b) {
        node.append_attribute("r") = dimension(r).c_str();
        node.append_attribute("g") = dimension(g).c_str();
        node.append_attribute("b") = dimension(b).c_str();
    };
    colour(environment.append_child("colourAmbient"), 0.15f, 0.15f, 0.2f);
    colour(environment.append_child("colourBackground"), 0.02f, 0.02f, 0.05f);
    pugi::xml_node list = scene.append_child("nodes");
    int id = 1;
    for (const Placement& p : nodes) {
        pugi::xml_node node = list.append_child("node");
        node.append_attribute("name") = p.node.c_str();
        pugi::xml_node position = node.append_child("position");
        position.append_attribute("x") = dimension(p.position.x).c_str();
        position.append_attribute("y") = dimension(p.position.y).c_str();
        position.append_attribute("z") = dimension(p.position.z).c_str();
        pugi::xml_node rotation = node.append_child("rotation");
        rotation.append_attribute("qx") = "0";
        rotation.append_attribute("qy") = "0";
        rotation.append_attribute("qz") = "0";
        rotation.append_attribute("qw") = "1";
        pugi::xml_node scale = node.append_child("scale");
        scale.append_attribute("x") = "1";
        scale.append_attribute("y") = "1";
        scale.append_attribute("z") = "1";
        pugi::xml_node entity = node.append_child("entity");
        entity.append_attribute("name") = p.entity.c_str();
        entity.append_attribute("id") = id++;
        entity.append_attribute("meshFile") = p.mesh.c_str();
        entity.append_attribute("castShadows") = p.castShadows ? "true" : "false";
        entity.append_attribute("receiveShadows") = "true";
        pugi::xml_node subentities = entity.append_child("subentities");
        const std::vector<Submesh>& parts = meshes.at(p.mesh).submeshes();
        for (std::size_t i = 0; i < parts.size(); ++i) {
            pugi::xml_node subentity = subentities.append_child("subentity");
            subentity.append_attribute("index") = unsigned(i);
            subentity.append_attribute("materialName") = parts[i].material.c_str();
        }
    }
    const std::filesystem::path path = levelDir / (levelDir.filename().string() + ".scene");
    if (!document.save_file(path.c_str(), "  ")) {
        throw std::runtime_error("could not write " + path.string());
    }
}

void LevelGenerator::writeMaterials() const {
    std::ofstream out(levelDir / (levelDir.filename().string() + ".material"));
    out << "// Materials of " << levelDir.filename().string() << ", written by assetgen.\n";
    auto colour = [&](const char* key, const Colour3& c) {
        out << "            " << key << " " << dimension(c.r) << " " << dimension(c.g) << " "
            << dimension(c.b) << " " << dimension(c.a) << "\n";
    };
    for (const MaterialDefinition& m : kMaterials) {
        out << "\nmaterial " << m.name << "\n{\n    technique\n    {\n        pass\n        {\n";
        colour("ambient", m.ambient);
        colour("diffuse", m.diffuse);
        out << "            specular " << dimension(m.specular) << " " << dimension(m.specular) << " "
            << dimension(m.specular) << " 1 " << dimension(m.shininess) << "\n";
        colour("emissive", m.emissive);
        out << "            texture_unit\n            {\n                texture " << m.texture
            << "\n            }\n        }\n    }\n}\n";
    }
    if (!out) {
        throw std::runtime_error("could not write the material file of " + levelDir.string());
    }
}

// The route beside the scene: one waypoint a line, "x y z action".
void LevelGenerator::writeRoute() const {
    std::ofstream out(levelDir / (levelDir.filename().string() + ".route"));
    out << "# Route of " << levelDir.filename().string()
        << ", written by assetgen: the ball's centre at each waypoint and what to do there\n"
           "# (roll through, jump towards the next waypoint, boost, stop on a checkpoint).\n";
    for (const RoutePoint& point : route) {
        out << dimension(point.position.x) << " " << dimension(point.position.y) << " "
            << dimension(point.position.z) << " " << point.action << "\n";
    }
    if (!out) {
        throw std::runtime_error("could not write the route of " + levelDir.string());
    }
}

void LevelGenerator::write() const {
    for (const auto& [name, mesh] : meshes) {
        mesh.save(levelDir / "models" / (name + ".xml"));
    }
    writeScene();
    writeMaterials();
    writeRoute();
}
