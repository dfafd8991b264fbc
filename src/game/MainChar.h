#pragma once

#include <memory>

#include "model/OgreModel.h"
#include "particles/ParticleController.h"

// The player's ball. The contact report keeps its ground flags, pickups fill
// its energy and turbo.
class MainChar : public OgreModel {
public:
    explicit MainChar(const OgreModel& model);
    ~MainChar() override;

    void reset() override;
    // Both stay within 0..1.
    void addEnergy(float amount);
    void addTurbo(float amount);

    float energy = 1.0f;
    float turboLevel = 0.0f;
    bool onGround = false;
    bool onCheckPoint = false;
    // The actor's configured limit, restored when braking ends.
    float defaultMaxAngularVelocity = 0.0f;
    // The ball's fire: two emitters pushed by one force field, all on its actor.
    std::unique_ptr<ParticleController> particleController;
};
