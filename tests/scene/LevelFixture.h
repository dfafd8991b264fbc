#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "game/GameObjects.h"

class OgreScene;

// One node of a test level; the entity's name carries its profile in brackets.
struct TestNode {
    std::string name;
    std::string entity;
    std::string mesh = "cube.mesh";
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::string rotation = "qx=\"0\" qy=\"0\" qz=\"0\" qw=\"1\"";
    std::string material = "Stone";
    std::string userData = ""; // the inside of the node's <userData>, none when empty
};

// A data root with a main configuration, object properties, physics materials,
// a sound configuration and meshes: "cube.mesh" (half size 1), "floor.mesh"
// (40 x 2 x 40, top at y = 0 of its node) and "wall.mesh" (2 x 10 x 40).
// Levels get the game's objects and rules, and a change of state its effects, as
// in the game. Tear-down drops every manager a level touches.
class LevelFixture : public ::testing::Test {
protected:
    LevelFixture();
    ~LevelFixture() override;

    // Writes levels/NAME/NAME.scene and its material file; returns the scene path.
    std::string writeLevel(const std::string& name, const std::vector<TestNode>& nodes,
                           const std::string& materials = kMaterials);
    static std::string sceneXml(const std::vector<TestNode>& nodes);
    // Loads a level file as the level manager does; the caller owns the scene.
    OgreScene* loadScene(const std::string& path);
    // Runs `count` steps of the frame loop on the scene: fetch, update, start the next.
    static void step(OgreScene& scene, int count);
    // A 16-bit mono WAV file of `seconds` of silence under the data root.
    void writeSound(const std::string& relative, float seconds);
    // The standard test level: a ball above a floor, one of each special object.
    std::vector<TestNode> standardNodes() const;

    static const char* const kMaterials;
    static const char* const kObjectProperties;

    TempDataRoot data;
    LogCapture log;
    // The game's objects and rules, installed as the game installs them.
    GameObjects game;
};
