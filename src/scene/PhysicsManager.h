#pragma once

#include <memory>
#include <vector>

#include "physics/PhysicsSDK.h"

class PhysicsScene;

// Owns the physics SDK, every scene made for a level and the one scene that is
// stepped. A step runs between simulate and the next fetch, so game logic runs
// while the engine has the next step pending; events arrive inside the fetch.
class PhysicsManager {
public:
    // Null when the physics SDK cannot be set up; the next call tries again.
    static PhysicsManager* getInstance();
    static PhysicsManager* existingInstance() { return instance; }
    static void destroy();

    PhysicsManager(const PhysicsManager&) = delete;
    PhysicsManager& operator=(const PhysicsManager&) = delete;

    PhysicsSDK* getSDK() const { return sdk.get(); }
    // A new software scene with the game's gravity; null when refused.
    PhysicsScene* createScene();
    PhysicsScene* getCurrentScene() const { return currentScene; }
    // Fetches a step in flight, then makes `scene` current and starts it when asked.
    void setCurrentScene(PhysicsScene* scene, bool start);
    bool isSimulating() const { return simulating; }

    // The two halves of one fixed step of the frame loop.
    void fetchResults();
    void startStep();

    static constexpr float kStepSeconds = 0.016666668f;

private:
    PhysicsManager() = default;
    ~PhysicsManager();
    bool init();
    void shutdown();

    static inline PhysicsManager* instance = nullptr;

    std::unique_ptr<PhysicsSDK> sdk;
    std::vector<PhysicsScene*> scenes; // owned by the SDK until shutdown
    PhysicsScene* currentScene = nullptr;
    bool hardware = false;
    bool simulating = false;
};
