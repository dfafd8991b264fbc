#include "game/MainChar.h"

#include <algorithm>

MainChar::MainChar(const OgreModel& model) : OgreModel(model) {}

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
