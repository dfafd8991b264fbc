#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "particles/ParticleDampingParameters.h"
#include "physics/PhysicsFluidDesc.h"
#include "physics/PhysicsFluidEmitterDesc.h"
#include "physics/PhysicsParticle.h"
#include "render/GlBuffer.h"

class PhysicsActor;
class PhysicsFluid;
class PhysicsFluidEmitter;

// One fire: a fluid of the actor's scene with one emitter riding on the actor,
// both read from two sections of the main configuration, and the drawing of
// its particles as camera-facing quads textured with a 3D texture whose third
// coordinate is the particle's age. Without an actor or when the fluid cannot
// be made, the emitter emits and draws nothing.
class ParticleEmitter {
public:
    ParticleEmitter(PhysicsActor* actor, const std::string& fluidSection, const std::string& emitterSection);
    ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Draws the live particles from vertex arrays, or from buffer objects when
    // the fireRenderMode option is 2. The caller enables the vertex and
    // texture-coordinate client arrays.
    void renderParticle();
    // Drops every live particle at once.
    void removeAllParticles();
    // The age coordinate of a particle with `life` seconds left when particles live `lifetime`.
    static float ageOf(float life, float lifetime);

    PhysicsFluidEmitterDesc emitterDesc; // as configured
    PhysicsFluidDesc fluidDesc;          // as configured
    float particleSize = 1.0f;           // half the side of a particle's quad
    std::vector<PhysicsParticle> particles;
    std::uint32_t particleCount = 0;
    PhysicsFluidEmitter* fluidEmitter = nullptr;
    ParticleDampingParameters damping;
    bool burst = false;
    std::string fluidSection;
    std::string emitterSection;
    PhysicsPose pose; // relative to the actor
    PhysicsActor* actor;
    PhysicsFluid* fluid = nullptr;
    std::uint32_t maxParticles = 0;
    std::vector<float> vertices;  // four corners of three floats per particle
    std::vector<float> texcoords; // the same for the texture coordinates
    GlBuffer vertexBuffer;
    GlBuffer texcoordBuffer;
    float spinAngle = 0.0f; // degrees about x, turned by the controller
    std::string texture;

private:
    void readFluidDesc();
    void createFluid();
    void readEmitterDesc();
    void readDamping();
    void fillQuads(float* corners, float* coords, std::uint32_t count) const;
    bool mapBuffers(float*& corners, float*& coords);
    void unmapBuffers();
    void draw(bool fromBuffers, std::uint32_t count);
    GLuint textureName() const;

    std::weak_ptr<const void> sceneLifetime;
};
