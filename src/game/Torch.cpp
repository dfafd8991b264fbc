#include "game/Torch.h"

#include <cstdlib>

#include "core/Config.h"
#include "core/Log.h"
#include "render/LightManager.h"

VORN_FILE_LOGGER("Torch")

namespace {

constexpr float kDefaultRadius = 60.0f;

} // namespace

Torch::Torch(const OgreModel& model, const Config& settings, const std::string& entityName)
    : OgreModel(model) {
    offset = {settings.getFloat("TorchSettings:offsetX", 0.0f),
              settings.getFloat("TorchSettings:offsetY", 0.0f),
              settings.getFloat("TorchSettings:offsetZ", 0.0f)};
    const int number = numberOf(entityName);
    createLight(settings, number);
    if (number >= LightManager::kSlots) {
        LOG_WARN("Torch '" << entityName << "' has the number " << number << ", beyond the "
                           << LightManager::kSlots << " light slots; it burns without a light");
    }
    createFire();
}

LightSource* Torch::ownLight() {
    return light->index < LightManager::kSlots ? light.get() : nullptr;
}

Torch::~Torch() = default;

int Torch::numberOf(const std::string& entityName) {
    const char last = entityName.empty() ? '\0' : entityName.back();
    return last >= '2' && last <= '9' ? last - '0' : 1;
}

void Torch::createLight(const Config& settings, int number) {
    const std::string radiusKey = "torch" + std::to_string(number) + ":radius";
    const float radius = settings.getFloat(radiusKey.c_str(), kDefaultRadius);
    const Vector3 at = *position + offset;
    light = std::make_unique<LightSource>(radius, at.x, at.y, at.z, number, 1.0f, 1.0f, 1.0f, 1.0f);
}

void Torch::createFire() {
    particleController = std::make_unique<ParticleController>(actor);
    particleController->addForceField("mainFF", "forceField");
    particleController->addParticleEmitter("1red", "torchEmitter1", "fluid1");
    particleController->addParticleEmitter("2yellow", "torchEmitter2", "fluid2");
    particleController->link("mainFF", "1red");
    particleController->link("mainFF", "2yellow");
    particleController->offset = offset;
}

void Torch::update() {
    OgreModel::update();
    particleController->update();
    flicker();
}

void Torch::renderShadowVolume(LightSource* lightSource, bool useGeometryShader, bool zPass) {
    if (lightSource != light.get()) {
        OgreModel::renderShadowVolume(lightSource, useGeometryShader, zPass);
    }
}

// Every update the light trembles a hair below the flame and its grey wavers between 0.35 and 0.49.
void Torch::flicker() {
    const auto jitter = [] { return static_cast<float>(std::rand() % 11 - 11) / 1000.0f; };
    const float dx = jitter();
    const float dy = jitter();
    const float dz = jitter();
    const float c = static_cast<float>(std::rand() % 15 - 15) / 100.0f;
    const Vector3 at = *position + offset;
    light->x = at.x + dx;
    light->y = at.y + dy;
    light->z = at.z + dz;
    light->w = 1.0f;
    light->r = 0.5f + c;
    light->g = 0.5f + c;
    light->b = 0.5f + c;
    light->a = 2.0f;
}
