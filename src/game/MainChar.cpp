#include "game/MainChar.h"

#include <algorithm>

#include "app/Log.h"

VORN_FILE_LOGGER("MainChar")

MainChar::MainChar(const OgreModel& model) : OgreModel(model) {
    LOG_TRACE("Initializing Particle System");
    particleController = std::make_unique<ParticleController>(actor);
    particleController->addForceField("mainFF", "forceField");
    particleController->addParticleEmitter("1red", "emitter1", "fluid1");
    particleController->addParticleEmitter("2yellow", "emitter2", "fluid2");
    particleController->link("mainFF", "1red");
    particleController->link("mainFF", "2yellow");
}

MainChar::~MainChar() = default;

void MainChar::reset() {
    energy = 1.0f;
    turboLevel = 0.0f;
    onGround = false;
    onCheckPoint = false;
}

void MainChar::addEnergy(float amount) {
    energy = std::clamp(energy + amount, 0.0f, 1.0f);
}

void MainChar::addTurbo(float amount) {
    turboLevel = std::clamp(turboLevel + amount, 0.0f, 1.0f);
}
