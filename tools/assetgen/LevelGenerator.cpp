#include "LevelGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
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

// Surfaces the first level does without.
const MaterialDefinition kCampaignMaterials[] = {
    {"Ice", "metal.dds", {0.55f, 0.65f, 0.8f, 1}, {0.7f, 0.85f, 1.0f, 1}, 0.9f, 80, {0.02f, 0.05f, 0.1f, 1}},
    {"Pad", "glow.dds", {0.6f, 0.9f, 0.6f, 1}, {0.7f, 1.0f, 0.6f, 1}, 0.5f, 24, {0.1f, 0.35f, 0.1f, 1}},
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

void LevelGenerator::rock(const std::string& name, Vec3 ground) {
    place(name, "rock", "rock.mesh", ground + Vec3{0, 1.02f, 0});
}

void LevelGenerator::mover(const std::string& name, float x0, float x1, float z0, float z1, float top,
                           Vec3 offset, float speed, float pause) {
    const Vec3 size{x1 - x0, 1.0f, z1 - z0};
    const std::string mesh = sizedMesh("slab", "Metal", size);
    if (!meshes.contains(mesh)) {
        meshes[mesh].addBox("Metal", size * -0.5f, size * 0.5f, kTexelScale);
    }
    const Vec3 from{(x0 + x1) / 2, top - 0.5f, (z0 + z1) / 2};
    const Vec3 to = from + offset;
    place(name, "mover", mesh, from);
    Placement& platform = nodes.back();
    platform.path = dimension(from.x) + " " + dimension(from.y) + " " + dimension(from.z) + ", " +
                    dimension(to.x) + " " + dimension(to.y) + " " + dimension(to.z);
    platform.speed = speed;
    platform.pause = pause;
}

void LevelGenerator::buildLevel(int number) {
    using Build = void (LevelGenerator::*)();
    static const Build builds[kLevelCount] = {
        &LevelGenerator::buildFirstLevel,   &LevelGenerator::buildSecondLevel,
        &LevelGenerator::buildThirdLevel,   &LevelGenerator::buildFourthLevel,
        &LevelGenerator::buildFifthLevel,   &LevelGenerator::buildSixthLevel,
        &LevelGenerator::buildSeventhLevel, &LevelGenerator::buildEighthLevel,
    };
    if (number < 1 || number > kLevelCount) {
        throw std::runtime_error("there is no level " + std::to_string(number));
    }
    campaignMaterials = number > 1;
    if (campaignMaterials) {
        meshes["rock.mesh"].addSphere("Stone", 1.0f, 16, 8);
    }
    (this->*builds[number - 1])();
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

    fogBelow(45, -440, 160, 500);
}

// Narrow ways: planks three units wide or less that turn at small squares.
void LevelGenerator::buildSecondLevel() {
    addSharedModels();
    slab("A00_Start", "Stone", -8, 8, -8, 8, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 0});
    torch("A01_Torch", 1, {-6.5f, 20, 6.5f});
    slab("A10_Plank", "Wood", -1.5f, 1.5f, -38, -8, 20, 1.0f);
    item("A11_Power", "power", {0, 20, -18});
    item("A12_Power", "power", {0, 20, -30});
    waypoint({0, 20, -18});
    waypoint({0, 20, -30});
    slab("A20_Corner", "Metal", -4, 4, -46, -38, 20);
    place("A21_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 20, -42});
    torch("A22_Torch", 2, {-3, 20, -45});
    waypoint({0, 20, -42}, "stop");

    // East along a plank, then north along a narrower one.
    slab("B00_Plank", "Wood", 4, 34, -43.5f, -40.5f, 20, 1.0f);
    item("B01_Power", "power", {19, 20, -42});
    slab("B02_Corner", "Stone", 34, 42, -46, -38, 20);
    slab("B03_Plank", "Wood", 36.75f, 39.25f, -76, -46, 20, 1.0f);
    item("B04_Power", "power", {38, 20, -61});
    waypoint({6, 20, -42});
    waypoint({19, 20, -42});
    waypoint({32, 20, -42});
    waypoint({38, 20, -42});
    waypoint({38, 20, -48});
    waypoint({38, 20, -61});
    waypoint({38, 20, -74});
    slab("B10_Corner", "Grass", 34, 42, -84, -76, 20);
    place("B11_Checkpoint2", "checkPoint", "checkpoint.mesh", {38, 20, -80});
    torch("B12_Torch", 3, {41, 20, -83});
    waypoint({38, 20, -80}, "stop");

    // Back west and north to the finish.
    slab("C00_Plank", "Wood", 8, 34, -81.5f, -78.5f, 20, 1.0f);
    item("C01_PowerBottle", "powerbottle", {21, 20, -80});
    slab("C02_Corner", "Stone", 0, 8, -84, -76, 20);
    slab("C03_Plank", "Wood", 2.5f, 5.5f, -110, -84, 20, 1.0f);
    item("C04_Power", "power", {4, 20, -97});
    waypoint({32, 20, -80});
    waypoint({21, 20, -80});
    waypoint({10, 20, -80});
    waypoint({4, 20, -80});
    waypoint({4, 20, -86});
    waypoint({4, 20, -97});
    waypoint({4, 20, -108});
    slab("C10_FinishGround", "Stone", -4, 12, -126, -110, 20);
    place("C11_Gate", "arch", "arch.mesh", {4, 20, -120});
    place("C12_Finish", "finish", "finish.mesh", {4, 20, -120}, false, "(t)");
    torch("C13_Torch", 4, {10.5f, 20, -111.5f});
    waypoint({4, 20, -115});
    waypoint({4, 20, -120});
    fogBelow(20, -60, 120, 200);
}

// Leaps: gaps of six units to jump, then a long one that needs a boost on the run-up.
void LevelGenerator::buildThirdLevel() {
    addSharedModels();
    // The ball starts further back: three seconds of W must not roll it into the first gap.
    slab("A00_Start", "Stone", -8, 8, -8, 16, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 8});
    torch("A01_Torch", 1, {-6.5f, 20, 14.5f});
    slab("A10_Path", "Grass", -4, 4, -30, -8, 20);
    item("A11_Power", "power", {0, 20, -16});
    item("A12_Turbo", "turbo", {0, 20, -24});
    waypoint({0, 20, -16});
    waypoint({0, 20, -24});
    waypoint({0, 20, -28.5f}, "jump");
    slab("A20_Stone", "Stone", -5, 5, -46, -36, 20);
    waypoint({0, 20, -38});
    waypoint({0, 20, -44.5f}, "jump");
    slab("A21_Stone", "Stone", -5, 5, -62, -52, 21);
    item("A22_Turbo", "turbo", {0, 21, -57});
    waypoint({0, 21, -54});
    waypoint({0, 21, -57});
    waypoint({0, 21, -60.5f}, "jump");
    slab("A30_Checkpoint1Ground", "Grass", -8, 8, -84, -68, 21);
    place("A31_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 21, -76});
    torch("A32_Torch", 2, {6.5f, 21, -69.5f});
    waypoint({0, 21, -70});
    waypoint({0, 21, -76}, "stop");

    // The run-up: turbo to collect, an arch to roll through, then 26 units of nothing.
    slab("B00_RunUp", "Stone", -6, 6, -100, -84, 21);
    place("B01_Arch", "arch", "arch.mesh", {0, 21, -87});
    item("B02_TurboBottle", "turbobottle", {-3, 21, -93});
    item("B03_Turbo", "turbo", {3, 21, -93});
    waypoint({-1.5f, 21, -87});
    waypoint({-2.8f, 21, -92});
    waypoint({-2.7f, 21, -94}, "boost");
    waypoint({-2.5f, 21, -98.5f}, "jump");
    slab("B10_Checkpoint2Ground", "Grass", -8, 8, -142, -126, 21);
    place("B11_Checkpoint2", "checkPoint", "checkpoint.mesh", {0, 21, -134});
    item("B12_PowerBottle", "powerbottle", {5, 21, -130});
    torch("B13_Torch", 3, {-6.5f, 21, -127.5f});
    waypoint({0, 21, -134}, "stop");

    // Two more gaps, a step up, and the finish.
    slab("C00_Path", "Stone", -4, 4, -156, -142, 21);
    slab("C01_Stone", "Metal", -4, 4, -170, -162, 22);
    item("C02_Power", "power", {0, 22, -166});
    waypoint({0, 21, -145});
    waypoint({0, 21, -154.5f}, "jump");
    waypoint({0, 22, -164});
    waypoint({0, 22, -168.5f}, "jump");
    slab("C10_FinishGround", "Stone", -8, 8, -192, -176, 22);
    place("C11_Gate", "arch", "arch.mesh", {0, 22, -186});
    place("C12_Finish", "finish", "finish.mesh", {0, 22, -186}, false, "(t)");
    torch("C13_Torch", 4, {6.5f, 22, -177.5f});
    waypoint({0, 22, -179});
    waypoint({0, 22, -186});
    fogBelow(0, -90, 100, 240);
}

// Ice: wide fields with little grip, where the ball turns and stops late; stone to stop on.
void LevelGenerator::buildFourthLevel() {
    addSharedModels();
    slab("A00_Start", "Stone", -8, 8, -8, 8, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 0});
    torch("A01_Torch", 1, {-6.5f, 20, 6.5f});
    slab("A10_Ice", "Ice", -7, 7, -50, -8, 20);
    item("A11_Power", "power", {0, 20, -20});
    item("A12_Power", "power", {2, 20, -36});
    waypoint({0, 20, -20});
    waypoint({2, 20, -36});
    waypoint({0, 20, -48});
    slab("A20_Checkpoint1Ground", "Stone", -8, 8, -70, -50, 20);
    place("A21_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 20, -60});
    torch("A22_Torch", 2, {6.5f, 20, -51.5f});
    waypoint({0, 20, -60}, "stop");

    // Down an icy slope, then a corner on ice.
    ramp("B00_IceRamp", "Ice", -6, 6, -90, -70, 20, 16);
    slab("B01_Ice", "Ice", -7, 7, -130, -90, 16);
    slab("B02_Ice", "Ice", 7, 40, -130, -112, 16);
    item("B03_Power", "power", {0, 16, -104});
    item("B04_PowerBottle", "powerbottle", {22, 16, -121});
    waypoint({0, 20, -71});
    waypoint({0, 16, -92});
    waypoint({0, 16, -104});
    waypoint({3, 16, -118});
    waypoint({12, 16, -121});
    waypoint({22, 16, -121});
    slab("B10_Checkpoint2Ground", "Stone", 40, 56, -130, -112, 16);
    place("B11_Checkpoint2", "checkPoint", "checkpoint.mesh", {48, 16, -121});
    torch("B12_Torch", 3, {54.5f, 16, -113.5f});
    waypoint({48, 16, -121}, "stop");

    // North over a narrower ice field to the finish.
    slab("C00_Ice", "Ice", 42, 54, -162, -130, 16);
    item("C01_Power", "power", {48, 16, -146});
    waypoint({48, 16, -133});
    waypoint({48, 16, -146});
    waypoint({48, 16, -160});
    slab("C10_FinishGround", "Stone", 40, 56, -180, -162, 16);
    place("C11_Gate", "arch", "arch.mesh", {48, 16, -172});
    place("C12_Finish", "finish", "finish.mesh", {48, 16, -172}, false, "(t)");
    torch("C13_Torch", 4, {54.5f, 16, -163.5f});
    waypoint({48, 16, -167});
    waypoint({48, 16, -172});
    fogBelow(25, -85, 120, 220);
}

// Bounce pads: a jump down into a pit whose floor throws the ball up onto the far side. A pad
// gives back nearly all of the fall, so each ledge lies a few units below the jump that leads to
// it. The pad grips: held keys spin the ball in the air and each bounce turns the spin into speed,
// so a ball that comes in short or hits the wall can still be driven on.
void LevelGenerator::buildFifthLevel() {
    addSharedModels();
    // The ball starts further back: three seconds of W must not roll it into the pit.
    slab("A00_Start", "Stone", -8, 8, -8, 16, 24, 8.0f);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 25.05f, 8});
    torch("A01_Torch", 1, {-6.5f, 24, 14.5f});
    slab("A10_Path", "Grass", -4, 4, -30, -8, 24, 10.0f);
    item("A11_Power", "power", {0, 24, -16});
    waypoint({0, 24, -16});
    waypoint({0, 24, -26}, "jump");
    slab("A20_Pad", "Pad", -6, 6, -40, -30, 12);
    waypoint({0, 12, -33.5f});
    slab("A30_Checkpoint1Ground", "Stone", -8, 8, -62, -40, 21, 12.0f);
    place("A31_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 21, -52});
    item("A32_Power", "power", {4, 21, -45});
    torch("A33_Torch", 2, {6.5f, 21, -60.5f});
    waypoint({0, 21, -44});
    waypoint({0, 21, -52}, "stop");

    // A second pit, as deep again.
    waypoint({0, 21, -58}, "jump");
    slab("B00_Pad", "Pad", -6, 6, -72, -62, 9);
    waypoint({0, 9, -65.5f});
    slab("B10_High", "Grass", -8, 8, -96, -72, 18, 12.0f);
    item("B11_PowerBottle", "powerbottle", {-4, 18, -76});
    place("B12_Checkpoint2", "checkPoint", "checkpoint.mesh", {0, 18, -84});
    waypoint({0, 18, -77});
    waypoint({0, 18, -84}, "stop");
    slab("B20_FinishGround", "Stone", -8, 8, -112, -96, 18);
    place("B21_Gate", "arch", "arch.mesh", {0, 18, -104});
    place("B22_Finish", "finish", "finish.mesh", {0, 18, -104}, false, "(t)");
    torch("B23_Torch", 3, {6.5f, 18, -97.5f});
    waypoint({0, 18, -98});
    waypoint({0, 18, -104});
    // The pits reach down further than elsewhere.
    fogBelow(0, -50, 100, 160, -4.0f);
}

// Crates and stone balls in the way, to push aside or off the edge.
void LevelGenerator::buildSixthLevel() {
    addSharedModels();
    slab("A00_Start", "Stone", -8, 8, -8, 8, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 0});
    torch("A01_Torch", 1, {-6.5f, 20, 6.5f});
    slab("A10_Yard", "Stone", -6, 6, -44, -8, 20);
    crate("A11_Crate", {-3, 20, -16});
    rock("A12_Rock", {0.5f, 20, -22});
    crate("A13_Crate", {3, 20, -28});
    rock("A14_Rock", {-1, 20, -35});
    item("A15_Power", "power", {-3, 20, -26});
    waypoint({-1, 20, -20});
    waypoint({-3, 20, -26});
    waypoint({0, 20, -32});
    waypoint({0, 20, -42});
    slab("A20_Bridge", "Wood", -2.5f, 2.5f, -70, -44, 20, 1.0f);
    rock("A21_Rock", {-1, 20, -52});
    crate("A22_Crate", {1.2f, 20, -62});
    waypoint({0, 20, -48});
    waypoint({0, 20, -68});
    slab("A30_Checkpoint1Ground", "Grass", -8, 8, -86, -70, 20);
    place("A31_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 20, -78});
    torch("A32_Torch", 2, {6.5f, 20, -71.5f});
    waypoint({0, 20, -78}, "stop");

    // A corridor of arches with crates and balls to push aside.
    slab("B00_Corridor", "Stone", -5, 5, -130, -86, 20);
    place("B01_Arch", "arch", "arch.mesh", {0, 20, -94});
    place("B02_Arch", "arch", "arch.mesh", {0, 20, -110});
    place("B03_Arch", "arch", "arch.mesh", {0, 20, -126});
    crate("B04_Crate", {-2, 20, -100});
    rock("B05_Rock", {2, 20, -104});
    crate("B06_Crate", {1.5f, 20, -116});
    rock("B07_Rock", {-2, 20, -120});
    item("B08_Power", "power", {2.5f, 20, -100});
    item("B09_Power", "power", {-2, 20, -113});
    torch("B10_Torch", 3, {4, 20, -87.5f});
    waypoint({0, 20, -88});
    waypoint({0, 20, -94});
    waypoint({2.5f, 20, -100});
    waypoint({0, 20, -107});
    waypoint({-2, 20, -113});
    waypoint({0, 20, -120});
    waypoint({0, 20, -128});
    slab("B20_Checkpoint2Ground", "Grass", -8, 8, -146, -130, 20);
    place("B21_Checkpoint2", "checkPoint", "checkpoint.mesh", {0, 20, -138});
    waypoint({0, 20, -138}, "stop");
    slab("B30_FinishGround", "Stone", -8, 8, -162, -146, 20);
    crate("B31_Crate", {-4, 20, -150});
    place("B32_Gate", "arch", "arch.mesh", {0, 20, -156});
    place("B33_Finish", "finish", "finish.mesh", {0, 20, -156}, false, "(t)");
    torch("B34_Torch", 4, {6.5f, 20, -147.5f});
    waypoint({0, 20, -150});
    waypoint({0, 20, -156});
    fogBelow(0, -75, 100, 210);
}

// Moving platforms: each ferries the ball over a gap too long to jump; wait for it to come.
void LevelGenerator::buildSeventhLevel() {
    addSharedModels();
    // The ball starts further back: three seconds of W must not roll it into the first gap.
    slab("A00_Start", "Stone", -8, 8, -8, 16, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 8});
    torch("A01_Torch", 1, {-6.5f, 20, 14.5f});
    slab("A10_Path", "Grass", -4, 4, -30, -8, 20);
    item("A11_Power", "power", {0, 20, -18});
    waypoint({0, 20, -18});
    waypoint({0, 20, -28}, "wait");
    mover("A20_Platform", -4, 4, -38, -30, 20, {0, 0, -22}, 4.0f, 3.0f);
    waypoint({0, 20, -34}, "wait");
    waypoint({0, 20, -56});
    slab("A30_Checkpoint1Ground", "Stone", -8, 8, -76, -60, 20);
    place("A31_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 20, -68});
    item("A32_Power", "power", {4, 20, -64});
    torch("A33_Torch", 2, {6.5f, 20, -61.5f});
    waypoint({0, 20, -62});
    waypoint({0, 20, -68}, "stop");

    // A longer crossing, then the finish.
    waypoint({0, 20, -74}, "wait");
    mover("B00_Platform", -4, 4, -84, -76, 20, {0, 0, -28}, 5.0f, 3.0f);
    waypoint({0, 20, -80}, "wait");
    waypoint({0, 20, -108});
    slab("B10_Checkpoint2Ground", "Stone", -8, 8, -128, -112, 20);
    item("B11_PowerBottle", "powerbottle", {-4, 20, -116});
    place("B12_Checkpoint2", "checkPoint", "checkpoint.mesh", {0, 20, -120});
    torch("B13_Torch", 3, {6.5f, 20, -113.5f});
    waypoint({0, 20, -114});
    waypoint({0, 20, -120}, "stop");
    slab("B20_FinishGround", "Grass", -8, 8, -144, -128, 20);
    place("B21_Gate", "arch", "arch.mesh", {0, 20, -138});
    place("B22_Finish", "finish", "finish.mesh", {0, 20, -138}, false, "(t)");
    waypoint({0, 20, -132});
    waypoint({0, 20, -138});
    fogBelow(0, -65, 100, 200);
}

// The night run: all of it, long, in the dark with few torches.
void LevelGenerator::buildEighthLevel() {
    addSharedModels();
    ambient = 0.05f;
    // The ball starts further back: three seconds of W must not roll it into the first gap.
    slab("A00_Start", "Stone", -8, 8, -8, 16, 20);
    place("A00_Ball", "mainChar", "ball.mesh", {0, 21.05f, 8});
    torch("A01_Torch", 1, {-6.5f, 20, 14.5f});
    // A plank, a gap, a plank.
    slab("A10_Plank", "Wood", -1.5f, 1.5f, -32, -8, 20, 1.0f);
    item("A11_Power", "power", {0, 20, -20});
    waypoint({0, 20, -12});
    waypoint({0, 20, -20});
    waypoint({0, 20, -30.5f}, "jump");
    slab("A12_Stone", "Stone", -4, 4, -46, -38, 20);
    item("A13_Turbo", "turbo", {0, 20, -42});
    waypoint({0, 20, -40});
    waypoint({0, 20, -44.5f}, "jump");
    slab("A20_Checkpoint1Ground", "Grass", -8, 8, -68, -52, 20);
    place("A21_Checkpoint1", "checkPoint", "checkpoint.mesh", {0, 20, -60});
    waypoint({0, 20, -54});
    waypoint({0, 20, -60}, "stop");

    // Ice with crates and a ball on it.
    slab("B00_Ice", "Ice", -7, 7, -104, -68, 20);
    crate("B01_Crate", {-3.5f, 20, -80});
    rock("B02_Rock", {3.5f, 20, -90});
    item("B03_Power", "power", {0, 20, -86});
    waypoint({0, 20, -74});
    waypoint({0, 20, -86});
    waypoint({0, 20, -102});
    slab("B10_Checkpoint2Ground", "Stone", -8, 8, -124, -104, 20);
    place("B11_Checkpoint2", "checkPoint", "checkpoint.mesh", {0, 20, -114});
    torch("B12_Torch", 2, {6.5f, 20, -105.5f});
    waypoint({0, 20, -114}, "stop");

    // A ferry over the dark.
    waypoint({0, 20, -122}, "wait");
    mover("C00_Platform", -4, 4, -132, -124, 20, {0, 0, -24}, 4.5f, 3.0f);
    waypoint({0, 20, -128}, "wait");
    waypoint({0, 20, -152});
    slab("C10_Landing", "Stone", -8, 8, -172, -156, 20, 8.0f);
    item("C11_PowerBottle", "powerbottle", {4, 20, -164});
    item("C12_TurboBottle", "turbobottle", {-3, 20, -166});
    waypoint({0, 20, -160});
    waypoint({-2.5f, 20, -166});

    // A pit with a bounce pad up to the far ground.
    waypoint({0, 20, -168}, "jump");
    slab("C20_Pad", "Pad", -6, 6, -182, -172, 8, 1.5f);
    waypoint({0, 8, -175.5f});
    slab("C30_Checkpoint3Ground", "Stone", -8, 8, -204, -182, 17, 11.0f);
    place("C31_Checkpoint3", "checkPoint", "checkpoint.mesh", {0, 17, -194});
    waypoint({0, 17, -186});
    waypoint({0, 17, -194}, "stop");

    // The run-up and the long gap, then the finish.
    slab("D00_RunUp", "Stone", -6, 6, -220, -204, 17);
    item("D01_Turbo", "turbo", {-3, 17, -209});
    waypoint({-1.5f, 17, -205});
    waypoint({-2.8f, 17, -208});
    waypoint({-2.7f, 17, -210}, "boost");
    waypoint({-2.5f, 17, -218.5f}, "jump");
    slab("D10_FinishGround", "Stone", -8, 8, -262, -242, 17);
    place("D11_Gate", "arch", "arch.mesh", {0, 17, -256});
    place("D12_Finish", "finish", "finish.mesh", {0, 17, -256}, false, "(t)");
    torch("D13_Torch", 3, {6.5f, 17, -243.5f});
    waypoint({0, 17, -250});
    waypoint({0, 17, -256});
    fogBelow(0, -125, 100, 320, -4.0f);
}

void LevelGenerator::fogBelow(float centreX, float centreZ, float sizeX, float sizeZ, float height) {
    const Vec3 fogSize{sizeX, 6, sizeZ};
    const std::string fogMesh = sizedMesh("volume", "Mist", fogSize);
    meshes[fogMesh].addBox("Mist", fogSize * -0.5f, fogSize * 0.5f, 40.0f);
    place("Z00_Fog", "fog", fogMesh, {centreX, height, centreZ}, false);
    const Vec3 mistSize{sizeX, 1, sizeZ};
    const std::string mistMesh = sizedMesh("slab", "Mist", mistSize);
    meshes[mistMesh].addBox("Mist", mistSize * -0.5f, mistSize * 0.5f, 40.0f);
    place("Z01_Mist", "mist", mistMesh, {centreX, height + 1.5f, centreZ}, false, "(t)");
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
    colour(environment.append_child("colourAmbient"), ambient, ambient, ambient + 0.05f);
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
        if (!p.path.empty()) {
            pugi::xml_node userData = node.append_child("userData");
            const auto property = [&](const char* type, const char* name, const std::string& data) {
                pugi::xml_node element = userData.append_child("property");
                element.append_attribute("type") = type;
                element.append_attribute("name") = name;
                element.append_attribute("data") = data.c_str();
            };
            property("str", "path", p.path);
            property("float", "speed", dimension(p.speed));
            property("float", "pause", dimension(p.pause));
        }
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
    std::vector<MaterialDefinition> definitions(std::begin(kMaterials), std::end(kMaterials));
    if (campaignMaterials) {
        definitions.insert(definitions.end(), std::begin(kCampaignMaterials), std::end(kCampaignMaterials));
    }
    for (const MaterialDefinition& m : definitions) {
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

// Only the meshes the level places: a shared model a level does without is no file of it, and a
// mesh an earlier layout placed goes with its cache.
void LevelGenerator::write() const {
    removeMeshesOfEarlierLayouts();
    for (const auto& [name, mesh] : meshes) {
        const bool placed =
            std::any_of(nodes.begin(), nodes.end(), [&name](const Placement& p) { return p.mesh == name; });
        if (placed) {
            mesh.save(levelDir / "models" / (name + ".xml"));
        }
    }
    writeScene();
    writeMaterials();
    writeRoute();
}

void LevelGenerator::removeMeshesOfEarlierLayouts() const {
    const std::filesystem::path models = levelDir / "models";
    if (!std::filesystem::is_directory(models)) {
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(models)) {
        const std::string file = entry.path().filename().string();
        const std::size_t mesh = file.find(".mesh");
        const bool placed =
            mesh != std::string::npos && std::any_of(nodes.begin(), nodes.end(), [&](const Placement& p) {
                return p.mesh == file.substr(0, mesh + 5);
            });
        if (mesh != std::string::npos && !placed) {
            std::filesystem::remove(entry.path());
        }
    }
}
