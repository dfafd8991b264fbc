#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "particles/ForceField.h"
#include "particles/ParticleEmitter.h"
#include "render/Vector3.h"

class PhysicsActor;

// The fire of one game object: its emitters and force fields by name, all on the
// object's actor. Every update they follow the actor (plus the offset), the
// emitters spinning 60 degrees about x; damping scales the fire between each
// emitter's configured minima and maxima.
class ParticleController {
public:
    explicit ParticleController(PhysicsActor* actor);
    ~ParticleController();
    ParticleController(const ParticleController&) = delete;
    ParticleController& operator=(const ParticleController&) = delete;

    // A name already in use keeps its first emitter or field.
    void addParticleEmitter(const std::string& name, const std::string& emitterSection,
                            const std::string& fluidSection);
    void addForceField(const std::string& name, const std::string& section);
    // The emitter's fluid is pushed by the force field from now on.
    void link(const std::string& forceFieldName, const std::string& emitterName);

    void update();
    // Draws every emitter in name order, the client arrays they need enabled.
    void render();
    // Scales the fire with the square root of x (0 to 1); 0 stops emission.
    void setDamping(float x);
    void setEmitting(bool on);
    // Every emitter drops its live particles at once.
    void removeAllParticles();

    PhysicsActor* actor;
    bool enabled = true; // damping and switching act only while set
    std::optional<Vector3> offset;
    std::map<std::string, std::unique_ptr<ParticleEmitter>> emitters;
    std::map<std::string, std::unique_ptr<ForceField>> forceFields;
    float burstMultiplier = 1.0f; // for the emitters whose burst is set

private:
    PhysicsVec3 anchor() const;
    void dampEmitter(ParticleEmitter& emitter, float k) const;

    // Emission stays off while the last damping asked for none.
    bool fuelled = true;
};
