#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "Mesh.h"

// One scene node of a level: an entity with its mesh, placed without rotation or scale.
struct Placement {
    std::string node;
    std::string entity; // carries the object-properties profile in brackets
    std::string mesh;
    Vec3 position;
    bool castShadows = true;
    // A moving platform's way ("x y z, x y z, ..." of its centre), its speed and its rest at
    // either end, written as the node's user data; empty for a node that stays.
    std::string path = "";
    float speed = 0.0f;
    float pause = 0.0f;
};

// A point of the path a level is built for: where the ball's centre passes and what the
// player does there (roll, jump, boost, stop).
struct RoutePoint {
    Vec3 position;
    std::string action;
};

// Builds a level: its meshes (shared models plus sized pieces), the scene file, the material file.
class LevelGenerator {
public:
    explicit LevelGenerator(std::filesystem::path levelDir) : levelDir(std::move(levelDir)) {}

    static constexpr int kLevelCount = 8;

    // Level `number` from 1 to kLevelCount; each adds one idea to the ones before it.
    void buildLevel(int number);
    void buildFirstLevel();
    void write() const;

private:
    // A box-shaped piece whose top face is at `top`, spanning [x0, x1] and [z0, z1].
    void slab(const std::string& name, const std::string& material, float x0, float x1, float z0, float z1,
              float top, float thickness = 2.0f);
    // A wedge from height `from` at z1 to `to` at z0 (so it rises towards -z when to > from).
    void ramp(const std::string& name, const std::string& material, float x0, float x1, float z0, float z1,
              float from, float to);
    // A waypoint of the route on a walkable surface at `ground`.
    void waypoint(Vec3 ground, const std::string& action = "roll");
    void place(const std::string& name, const std::string& profile, const std::string& mesh, Vec3 position,
               bool castShadows = true, const std::string& suffix = "");
    void item(const std::string& name, const std::string& profile, Vec3 groundPosition);
    void torch(const std::string& name, int number, Vec3 groundPosition);
    void crate(const std::string& name, Vec3 groundPosition);
    void rock(const std::string& name, Vec3 groundPosition);
    // A metal platform whose top is at `top` over [x0, x1] and [z0, z1], travelling by `offset`
    // and back at `speed`, resting `pause` seconds at either end.
    void mover(const std::string& name, float x0, float x1, float z0, float z1, float top, Vec3 offset,
               float speed, float pause);
    // The fog that ends the game below everything, and a mist floor under it that shows it.
    // `height` is the fog's centre; its top lies 3 above, the mist's 4 above.
    void fogBelow(float centreX, float centreZ, float sizeX, float sizeZ, float height = 2.0f);
    void buildSecondLevel();
    void buildThirdLevel();
    void buildFourthLevel();
    void buildFifthLevel();
    void buildSixthLevel();
    void buildSeventhLevel();
    void buildEighthLevel();
    std::string sizedMesh(const std::string& kind, const std::string& material, Vec3 size);
    void addSharedModels();
    void writeScene() const;
    void writeMaterials() const;
    void writeRoute() const;
    void removeMeshesOfEarlierLayouts() const;

    std::filesystem::path levelDir;
    std::map<std::string, Mesh> meshes;
    std::vector<Placement> nodes;
    std::vector<RoutePoint> route;
    // Later levels have more surfaces (ice, bounce pads) and a light of their own.
    bool campaignMaterials = false;
    float ambient = 0.15f;
};
