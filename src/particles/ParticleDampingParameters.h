#pragma once

#include "render/Vector3.h"

// The ranges between which a particle controller scales an emitter's fire.
struct ParticleDampingParameters {
    float minParticleLifetime = 0.0f;
    float maxParticleLifetime = 0.0f;
    Vector3 minExternalAcceleration;
    Vector3 maxExternalAcceleration;
    float minSize = 1.0f;
    float maxSize = 1.0f;
    float minRate = 0.0f;
    float maxRate = 0.0f;
    float minfluidVelocityMagnitude = 0.0f;
    float maxfluidVelocityMagnitude = 0.0f;
};
