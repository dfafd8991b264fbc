#pragma once

#include <memory>
#include <string>

#include "model/OgreModel.h"
#include "particles/ParticleController.h"
#include "render/LightSource.h"
#include "render/Vector3.h"

class Config;

// A burning torch: the model with a flickering point light and a fire of two
// emitters ("1red", "2yellow") pushed by one force field ("mainFF"), all at
// `offset` above the model. Its number, the last character of the entity name
// when that is a digit from 2 to 9 and 1 otherwise, picks the light's radius
// key and light slot. Numbers 8 and 9 lie beyond the light slots: such a torch
// burns without a light.
class Torch : public OgreModel {
public:
    // `settings` holds "TorchSettings:offsetX/Y/Z" and "torch<n>:radius"; the fire's
    // sections ("forceField", "torchEmitter1", "fluid1", "torchEmitter2", "fluid2")
    // come from the main configuration.
    Torch(const OgreModel& model, const Config& settings, const std::string& entityName);
    ~Torch() override;

    void update() override;
    // The bowl holds the torch's own flame, so it throws no shadow from that light;
    // other lights see the torch as any other caster.
    void renderShadowVolume(LightSource* lightSource, bool useGeometryShader, bool zPass) override;
    // Null for a torch beyond the light slots.
    LightSource* ownLight() override;

    static int numberOf(const std::string& entityName);

    Vector3 offset;
    std::unique_ptr<LightSource> light;
    std::unique_ptr<ParticleController> particleController;

private:
    void createLight(const Config& settings, int number);
    void createFire();
    void flicker();
};
