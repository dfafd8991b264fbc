#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "physics/PhysicsSDK.h"

class PhysicsScene;

// Owns the physics SDK, every scene made for a level and the one scene that is
// stepped. A step runs between simulate and the next fetch, so game logic runs
// while the engine has the next step pending; events arrive inside the fetch.
// Only play fetches a step: one left pending when play ends, the current scene
// changes or the game shuts down is dropped, so no event reaches a game that has
// moved on. Levels make their scenes on a loading thread; everything else happens
// on the game thread.
class PhysicsManager {
public:
    // Null when the physics SDK cannot be set up (the next call tries again), and
    // once shutdown has begun.
    static PhysicsManager* getInstance();
    static PhysicsManager* existingInstance() { return instance; }
    static void destroy();

    PhysicsManager(const PhysicsManager&) = delete;
    PhysicsManager& operator=(const PhysicsManager&) = delete;

    PhysicsSDK* getSDK() const { return sdk.get(); }
    // A new software scene with the game's gravity and reports; null when refused.
    PhysicsScene* createScene();
    // Gives a scene back before shutdown, for a level that could not be completed.
    void releaseScene(PhysicsScene* scene);
    PhysicsScene* getCurrentScene() const { return currentScene.load(); }
    // Drops a step in flight, then makes `scene` current and starts it when asked.
    void setCurrentScene(PhysicsScene* scene, bool start);
    bool isSimulating() const { return simulating; }

    // The two halves of one fixed step of the frame loop.
    void fetchResults();
    void startStep();
    // The step in flight is forgotten: nothing moves and no event is delivered.
    void dropStep();

    // Every contact event from start of touch to touch with force threshold.
    static constexpr std::uint32_t kReportedContactEvents = 0x7FE;

private:
    PhysicsManager();
    ~PhysicsManager();
    bool init();
    void shutdown();

    static inline PhysicsManager* instance = nullptr;

    std::unique_ptr<PhysicsSDK> sdk;
    std::mutex scenesMutex;
    std::vector<PhysicsScene*> scenes; // owned by the SDK until shutdown
    std::atomic<PhysicsScene*> currentScene{nullptr};
    bool hardware = false;
    bool simulating = false;
};
