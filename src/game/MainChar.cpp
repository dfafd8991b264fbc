#include "game/MainChar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "audio/SoundSource.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/FixedStep.h"
#include "core/Log.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

VORN_FILE_LOGGER("MainChar")

namespace {

constexpr float kLightHeight = 1.5f;

const Config& mainConfig() {
    return *ConfigManager::getInstance()->getMainConfig();
}

float energyDrainOf(const Config& config) {
    return kStepSeconds / config.getPositiveFloat("GameSettings:energycapacity", 20.0f);
}

// One of -0.05 ... -0.01.
float positionJitter() {
    return static_cast<float>(std::rand() % 5 - 5) / 100.0f;
}

} // namespace

MainChar::MainChar(const OgreModel& model)
    : OgreModel(model), energyDrain(energyDrainOf(mainConfig())), light(std::make_unique<LightSource>()) {
    LOG_TRACE("Initializing Particle System");
    particleController = std::make_unique<ParticleController>(actor);
    particleController->addForceField("mainFF", "forceField");
    particleController->addParticleEmitter("1red", "emitter1", "fluid1");
    particleController->addParticleEmitter("2yellow", "emitter2", "fluid2");
    particleController->link("mainFF", "1red");
    particleController->link("mainFF", "2yellow");
}

// A burst still running must not fire into a character that is gone. The
// light's own destructor empties slot 0 of the light manager.
MainChar::~MainChar() {
    if (TimeManager* time = TimeManager::existingInstance()) {
        for (const auto& timer : burstTimers) {
            time->removeTimer(timer.get());
        }
    }
    particleController.reset();
    light.reset();
}

// A running burst keeps running: its timer still ends it.
void MainChar::reset() {
    particleController->removeAllParticles();
    energy = 1.0f;
    turboLevel = 0.0f;
    onCheckPoint = false;
    onGround = false;
}

void MainChar::setEnergy(float x) {
    energy = std::clamp(x, 0.0f, 1.0f);
    // Only play can end in a game over: a ball emptied after the finish or at a respawn stays.
    if (energy == 0.0f) {
        if (StateManager* states = StateManager::getInstance()) {
            states->setState(GAME_OVER);
        }
    }
    particleController->setDamping(energy);
    applySoundGain();
}

// A character without a sound of its own has nothing to turn down.
void MainChar::applySoundGain() {
    if (soundSource) {
        soundSource->setGain(energy > 0.0f ? std::sqrt(energy) : 0.0f);
    }
}

void MainChar::addEnergy(float amount) {
    setEnergy(energy + amount);
    fireBurst();
}

void MainChar::addTurbo(float amount) {
    turboLevel = std::clamp(turboLevel + amount, 0.0f, 1.0f);
}

void MainChar::removeTurbo(float amount) {
    turboLevel = std::clamp(turboLevel - amount, 0.0f, 1.0f);
}

void MainChar::fireBurst() {
    TimeManager* time = TimeManager::getInstance();
    if (!time) {
        return;
    }
    if (burstCount == 0) {
        particleController->burstMultiplier = mainConfig().getFloat("GameSettings:fireBurstMultiplier", 1.3f);
    }
    ++burstCount;
    auto timer = std::make_unique<Timer>();
    timer->callback = endBurst;
    timer->userData = this;
    timer->duration = mainConfig().getInt("GameSettings:fireBirstTime", 300);
    time->addTimer(timer.get());
    timer->active = true;
    timer->dueTime = time->now + timer->duration;
    burstTimers.push_back(std::move(timer));
}

void MainChar::endBurst(Timer* timer, void* mainChar) {
    static_cast<MainChar*>(mainChar)->finishBurst(timer);
}

void MainChar::finishBurst(Timer* timer) {
    if (--burstCount == 0) {
        particleController->burstMultiplier = 1.0f;
    }
    if (TimeManager* time = TimeManager::existingInstance()) {
        time->removeTimer(timer);
    }
    std::erase_if(burstTimers, [timer](const auto& owned) { return owned.get() == timer; });
}

void MainChar::update() {
    OgreModel::update();
    if (!onCheckPoint) {
        // Single-precision steps leave crumbs: what is less than half a step is gone,
        // so full energy lasts exactly capacity seconds.
        const float left = energy - energyDrain;
        setEnergy(left < energyDrain / 2.0f ? 0.0f : left);
    }
    particleController->update();
    moveLight();
}

// The light trembles a little below its place above the ball and flickers a
// little darker than white. The character of the current level holds slot 0,
// also after another level's character was loaded.
void MainChar::moveLight() {
    const Config& config = mainConfig();
    const float minRadius = config.getFloat("GameSettings:lightradiusmin", 20.0f);
    const float maxRadius = config.getFloat("GameSettings:lightradiusmax", 60.0f);
    const float jx = positionJitter();
    const float jy = positionJitter();
    const float jz = positionJitter();
    const float j = static_cast<float>(std::rand() % 15 - 15) / 100.0f;
    light->x = position->x + jx;
    light->y = position->y + kLightHeight + jy;
    light->z = position->z + jz;
    light->w = 1.0f;
    light->r = light->g = light->b = 0.9f + j;
    light->a = 1.0f + j;
    light->radius = (maxRadius - minRadius) * energy + minRadius;
    if (LightManager* lights = LightManager::existingInstance()) {
        lights->registerLight(light.get());
    }
}

float MainChar::secondsSinceStart() {
    const TimeManager* time = TimeManager::getInstance();
    return time ? static_cast<float>(time->now - time->startTime) / 1000.0f : 0.0f;
}

// The ball's surface smoulders in the shader while "morphTime" runs; other objects see 0.
void MainChar::renderIfInRange(std::vector<LightSource*> lights) {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1f("morphTime", secondsSinceStart());
    OgreModel::renderIfInRange(std::move(lights));
    shaders->setUniform1f("morphTime", 0.0f);
}

void MainChar::render(LightSource* lightSource) {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1f("morphTime", secondsSinceStart());
    OgreModel::render(lightSource);
    shaders->setUniform1f("morphTime", 0.0f);
}

void MainChar::renderShadowVolume(LightSource* lightSource, bool useGeometryShader, bool zPass) {
    renderShadowVolumeWithin(lightSource, useGeometryShader, zPass,
                             lightSource == light.get() ? kOwnShadowReach : 0.0f);
}

MainChar* MainChar::of(const OgreScene* scene) {
    return scene ? dynamic_cast<MainChar*>(scene->getMainChar()) : nullptr;
}

float MainChar::startHeadingOf(const OgreScene& scene) {
    const OgreModel* ball = scene.getMainChar();
    for (const auto& [name, node] : scene.nodes) {
        if (ball && node->entity && node->entity->model == ball) {
            // -z turned by the node's rotation: v + 2w (q x v) + 2 q x (q x v).
            const Vector3 q{node->qx, node->qy, node->qz};
            const Vector3 forward{0.0f, 0.0f, -1.0f};
            const Vector3 turn = q.cross(forward);
            const Vector3 facing = forward + turn * (2.0f * node->qw) + q.cross(turn) * 2.0f;
            return std::atan2(facing.x, -facing.z) * 180.0f / std::numbers::pi_v<float>;
        }
    }
    return 0.0f;
}

MainChar* MainChar::current() {
    SceneManager* levels = SceneManager::existingInstance();
    return levels ? of(levels->getCurrentScene()) : nullptr;
}
