#include "game/CheckPoint.h"

#include <cmath>

#include "audio/SoundManager.h"
#include "core/TimeManager.h"
#include "render/ShaderManager.h"

CheckPoint::CheckPoint(const OgreModel& model)
    : OgreModel(model), checkpointSound(SoundManager::configuredSound("Common:checkpoint")) {}

void CheckPoint::reset() {
    saveTime.reset();
    fade = 0.0f;
    reached = false;
}

void CheckPoint::render(LightSource* light) {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1f("fadeTime", fade);
    OgreModel::render(light);
    shaders->setUniform1f("fadeTime", 0.0f);
}

void CheckPoint::update() {
    const TimeManager* time = TimeManager::getInstance();
    if (reached && time) {
        const float t = static_cast<float>(time->now - time->startTime) / 1000.0f;
        fade = 0.6f + 0.4f * std::sin(2.0f * t);
    }
    OgreModel::update();
}
