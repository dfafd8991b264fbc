#pragma once

#include <string>

// A level folder for the level targets: the game's managers and its objects installed
// as at start-up, a main configuration, physics materials, sounds and small meshes
// ("cube.mesh", "slab.mesh", "gem.mesh", "flat.mesh" without faces) in levels/fuzz/models/.
namespace FuzzLevel {

constexpr const char* kScenePath = "../levels/fuzz/fuzz.scene";

// The scene, material and object-properties files of a small level with one of each
// game object, the seeds' starting point.
extern const char* const kScene;
extern const char* const kMaterials;
extern const char* const kObjectProperties;

// Once per process, in the scratch data root.
void setUp();

// Writes the level's three files, loads it as the level manager does, checks what came
// of it, runs a few physics steps of it and gives it back. Aborts on a broken promise.
void load(const std::string& scene, const std::string& materials, const std::string& objectProperties);

} // namespace FuzzLevel
