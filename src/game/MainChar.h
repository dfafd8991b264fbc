#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Timer.h"
#include "model/OgreModel.h"
#include "particles/ParticleController.h"
#include "render/LightSource.h"

class OgreScene;

// The player's ball. Its energy drains with every update except on a checkpoint
// and ends the game at zero; pickups fill its energy and turbo. It burns as a
// fire that shrinks with the energy and carries the light of slot 0, whose radius
// follows the energy too.
class MainChar : public OgreModel {
public:
    // The physics actor group of the ball; contacts and triggers look for it.
    static constexpr std::uint16_t kActorGroup = 1;
    // How far from its own light the ball's shadow reaches: resting, its light
    // hangs 2.5 above the ground, and the shadow fades out as the ball rises two more.
    static constexpr float kOwnShadowReach = 4.5f;

    explicit MainChar(const OgreModel& model);
    ~MainChar() override;

    void reset() override;
    void renderIfInRange(std::vector<LightSource*> lights) override;
    void render(LightSource* lightSource) override;
    // In its own light, which hangs just above it, the ball's shadow reaches only the
    // ground close under it, not the ground far below an edge it rolls near or falls past.
    void renderShadowVolume(LightSource* lightSource, bool useGeometryShader, bool zPass) override;
    LightSource* ownLight() override { return light.get(); }
    void update() override;

    // Clamped to 0..1; reaching 0 in play switches to game over.
    void setEnergy(float x);
    // Adds energy and starts a fire burst.
    void addEnergy(float amount);
    // Both stay within 0..1.
    void addTurbo(float amount);
    void removeTurbo(float amount);
    // The fire burns stronger for "GameSettings:fireBirstTime" ms; overlapping
    // bursts share one multiplier, which returns to 1 when the last one ends.
    void fireBurst();

    // The ball of a level, null without one.
    static MainChar* of(const OgreScene* scene);
    // The ball of the current level, null while no level is current.
    static MainChar* current();
    // The way the level's ball faces at its start, as a camera heading in degrees: the
    // scene turns the ball's -z towards the way on. 0 without a ball.
    static float startHeadingOf(const OgreScene& scene);

    float energy = 1.0f;
    float turboLevel = 0.0f;
    const float energyDrain; // per update: capacity seconds of updates at 60 per second
    bool onGround = false;
    bool onCheckPoint = false;
    int burstCount = 0;
    // The actor's configured limit, restored when braking ends.
    float defaultMaxAngularVelocity = 0.0f;
    // The ball's fire: two emitters pushed by one force field, all on its actor.
    std::unique_ptr<ParticleController> particleController;
    std::unique_ptr<LightSource> light;

private:
    static void endBurst(Timer* timer, void* mainChar);
    void finishBurst(Timer* timer);
    void applySoundGain();
    void moveLight();
    static float secondsSinceStart();

    // The running bursts' timers; the time manager only borrows them.
    std::vector<std::unique_ptr<Timer>> burstTimers;
};
