#include "particles/ParticleEmitter.h"

#include <algorithm>
#include <cmath>

#include "core/ConfigManager.h"
#include "core/Log.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsFluid.h"
#include "physics/PhysicsScene.h"
#include "render/GlSavedState.h"
#include "render/TextureLoader.h"

VORN_FILE_LOGGER("ParticleEmitter")

namespace {

constexpr int kFloatsPerQuad = 12;

// Fire adds light: additive blending without depth writes or lighting, white,
// with the fixed-function pipeline and `texture` as the 3D texture of unit 0 (0: none).
void useFireState(GLuint texture) {
    glClientActiveTexture(GL_TEXTURE0);
    glUseProgram(0);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_3D);
    glBindTexture(GL_TEXTURE_3D, texture);
}

const Config& configuration() {
    return *ConfigManager::getInstance()->getMainConfig();
}

// Reads "section:name" keys of the main configuration.
class Section {
public:
    explicit Section(const std::string& name) : name(name) {}
    float getFloat(const char* key, float def) const {
        return configuration().getFloat(full(key).c_str(), def);
    }
    int getInt(const char* key, int def) const { return configuration().getInt(full(key).c_str(), def); }
    bool getBool(const char* key, bool def) const { return configuration().getBool(full(key).c_str(), def); }
    std::string getString(const char* key) const { return configuration().getString(full(key).c_str(), ""); }
    std::uint32_t getCount(const char* key, std::uint32_t def) const {
        return static_cast<std::uint32_t>(std::max(0, getInt(key, static_cast<int>(def))));
    }

private:
    std::string full(const char* key) const { return name + ":" + key; }
    const std::string name;
};

void writeCorner(float* target, const Vector3& corner) {
    target[0] = corner.x;
    target[1] = corner.y;
    target[2] = corner.z;
}

void writeCoord(float* target, float u, float v, float w) {
    target[0] = u;
    target[1] = v;
    target[2] = w;
}

} // namespace

ParticleEmitter::ParticleEmitter(PhysicsActor* owner, const std::string& fluidName,
                                 const std::string& emitterName)
    : fluidSection(fluidName), emitterSection(emitterName), actor(owner) {
    readFluidDesc();
    createFluid();
    readEmitterDesc();
    if (fluid) {
        fluidEmitter = fluid->createEmitter(emitterDesc);
        if (!fluidEmitter) {
            LOG_ERROR("The emitter of section '" << emitterSection << "' could not be created");
        }
    }
    readDamping();
    maxParticles = fluid ? fluidDesc.maxParticles : 0;
    particles.resize(maxParticles);
    for (PhysicsParticle& particle : particles) {
        particle.owner = fluidEmitter ? fluidEmitter->getIndex() : 0;
    }
    vertices.resize(particles.size() * kFloatsPerQuad);
    texcoords.resize(particles.size() * kFloatsPerQuad);
    if (fluid) {
        fluid->setParticlesWriteData({particles.data(), maxParticles, &particleCount});
    }
    if (!texture.empty()) {
        TextureLoader::getInstance()->addTexture(texture, GL_CLAMP_TO_EDGE);
    }
}

// The scene may be gone already at shutdown, and its fluids with it.
ParticleEmitter::~ParticleEmitter() {
    if (fluid && sceneLifetime.lock()) {
        fluid->getScene().releaseFluid(*fluid);
    }
}

void ParticleEmitter::readFluidDesc() {
    LOG_TRACE("loading fluid emitter");
    const Section section(fluidSection);
    PhysicsFluidDesc& d = fluidDesc;
    texture = section.getString("texture");
    d.kernelRadiusMultiplier = section.getFloat("kernelRadiusMultiplier", d.kernelRadiusMultiplier);
    d.restParticlesPerMeter = section.getFloat("restParticlesPerMeter", d.restParticlesPerMeter);
    d.motionLimitMultiplier = section.getFloat("motionLimitMultiplier", d.motionLimitMultiplier);
    d.packetSizeMultiplier = section.getCount("packetSizeMultiplier", d.packetSizeMultiplier);
    d.collisionDistanceMultiplier =
        section.getFloat("collisionDistanceMultiplier", d.collisionDistanceMultiplier);
    d.stiffness = section.getFloat("stiffness", d.stiffness);
    d.viscosity = section.getFloat("viscosity", d.viscosity);
    d.restDensity = section.getFloat("restDensity", d.restDensity);
    d.damping = section.getFloat("damping", d.damping);
    if (!section.getBool("gravity", true)) {
        d.flags |= PhysicsFluidFlags::DisableGravity;
    }
    d.restitutionForStaticShapes =
        section.getFloat("restitutionForStaticShapes", d.restitutionForStaticShapes);
    d.dynamicFrictionForStaticShapes =
        section.getFloat("dynamicFrictionForStaticShapes", d.dynamicFrictionForStaticShapes);
    d.restitutionForDynamicShapes =
        section.getFloat("restitutionForDynamicShapes", d.restitutionForDynamicShapes);
    d.dynamicFrictionForDynamicShapes =
        section.getFloat("dynamicFrictionForDynamicShapes", d.dynamicFrictionForDynamicShapes);
    if (!section.getBool("particleInteraction", true)) {
        d.simulationMethod = PhysicsFluidSimulation::NoParticleInteraction;
    }
    d.maxParticles = section.getCount("maxParticles", d.maxParticles);
    d.externalAcceleration = {section.getFloat("maxExternalAccelerationX", 0.0f),
                              section.getFloat("maxExternalAccelerationY", 0.0f),
                              section.getFloat("maxExternalAccelerationZ", 0.0f)};
}

// Hardware first, as the engine may offer it; then in software.
void ParticleEmitter::createFluid() {
    if (!actor) {
        LOG_ERROR("The fluid of section '" << fluidSection << "' has no actor to ride on; it emits nothing");
        return;
    }
    PhysicsScene& scene = actor->getScene();
    fluidDesc.flags |= PhysicsFluidFlags::Hardware;
    fluid = scene.createFluid(fluidDesc);
    if (fluid) {
        LOG_TRACE("Fluidmode: HW");
    } else {
        fluidDesc.flags &= ~PhysicsFluidFlags::Hardware;
        fluid = scene.createFluid(fluidDesc);
        if (fluid) {
            LOG_TRACE("Fluidmode: SW");
        }
    }
    if (!fluid) {
        LOG_ERROR("The fluid of section '" << fluidSection << "' could not be created; it emits nothing");
        return;
    }
    LOG_TRACE(">>Fluid created");
    sceneLifetime = scene.getLifetime();
}

void ParticleEmitter::readEmitterDesc() {
    const Section section(emitterSection);
    PhysicsFluidEmitterDesc& d = emitterDesc;
    d.frameActor = actor;
    d.relPose = pose;
    d.type = PhysicsEmitterType::ConstantFlowRate;
    d.shape = PhysicsEmitterShape::Ellipse;
    d.dimensionX = section.getFloat("dimensionX", d.dimensionX);
    d.dimensionY = section.getFloat("dimensionY", d.dimensionY);
    d.rate = section.getFloat("minRate", d.rate);
    d.randomAngle = section.getFloat("randomAngle", d.randomAngle);
    d.fluidVelocityMagnitude = section.getFloat("maxFluidVelocityMagnitude", d.fluidVelocityMagnitude);
    d.repulsionCoefficient = section.getFloat("repulsionCoefficient", d.repulsionCoefficient);
    d.particleLifetime = section.getFloat("maxParticleLifetime", d.particleLifetime);
    d.maxParticles = section.getCount("maxParticles", d.maxParticles);
    LOG_TRACE("DimX: " << d.dimensionX);
    LOG_TRACE("DimY: " << d.dimensionY);
    LOG_TRACE("Rate: " << d.rate);
    LOG_TRACE("Random angle: " << d.randomAngle);
    LOG_TRACE("TTL: " << d.particleLifetime);
    burst = section.getBool("burst", false);
}

void ParticleEmitter::readDamping() {
    LOG_TRACE("loading fluid damping config");
    const Section emitter(emitterSection);
    const Section fluidValues(fluidSection);
    const PhysicsVec3& acceleration = fluidDesc.externalAcceleration;
    damping.minParticleLifetime = emitter.getFloat("minParticleLifetime", emitterDesc.particleLifetime);
    damping.maxParticleLifetime = emitterDesc.particleLifetime;
    damping.minExternalAcceleration = {fluidValues.getFloat("minExternalAccelerationX", acceleration.x),
                                       fluidValues.getFloat("minExternalAccelerationY", acceleration.y),
                                       fluidValues.getFloat("minExternalAccelerationZ", acceleration.z)};
    damping.maxExternalAcceleration = {acceleration.x, acceleration.y, acceleration.z};
    damping.minSize = emitter.getFloat("minSize", 1.0f);
    damping.maxSize = emitter.getFloat("maxSize", 1.0f);
    damping.minRate = emitterDesc.rate;
    damping.maxRate = emitter.getFloat("maxRate", emitterDesc.rate);
    damping.minfluidVelocityMagnitude =
        emitter.getFloat("minfluidVelocityMagnitude", emitterDesc.fluidVelocityMagnitude);
    damping.maxfluidVelocityMagnitude =
        emitter.getFloat("maxfluidVelocityMagnitude", emitterDesc.fluidVelocityMagnitude);
    LOG_TRACE("loading fluid damping config done");
}

void ParticleEmitter::removeAllParticles() {
    if (fluid) {
        fluid->removeAllParticles();
    }
}

float ParticleEmitter::ageOf(float life, float lifetime) {
    return lifetime < 1.0f ? 1.0f - life : (lifetime - life) / lifetime;
}

// Lower fire detail draws a share of the particles: the flame keeps its shape, thinner.
void ParticleEmitter::renderParticle() {
    const float detail = std::clamp(configuration().fireDetail, 0.0f, 1.0f);
    const auto count = static_cast<std::uint32_t>(
        std::lround(static_cast<float>(std::min(particleCount, maxParticles)) * detail));
    if (count == 0) {
        return;
    }
    const bool useBuffers = configuration().fireRenderMode == 2;
    const GlSavedState saved(GlSavedState::Textures | GlSavedState::Depth | GlSavedState::Blending |
                                 GlSavedState::Program | GlSavedState::ArrayBuffer | GlSavedState::Colour,
                             {GL_LIGHTING, GL_BLEND, GL_TEXTURE_3D});
    useFireState(textureName());
    float* corners = vertices.data();
    float* coords = texcoords.data();
    const bool mapped = useBuffers && mapBuffers(corners, coords);
    fillQuads(corners, coords, count);
    if (mapped) {
        unmapBuffers();
    }
    draw(mapped, count);
}

GLuint ParticleEmitter::textureName() const {
    if (texture.empty()) {
        return 0;
    }
    const TextureLoader::Texture* loaded = TextureLoader::getInstance()->getTexture(texture);
    return loaded && loaded->glId ? *loaded->glId : 0;
}

// Fresh storage every frame, so the driver need not wait for the last frame's drawing.
bool ParticleEmitter::mapBuffers(float*& corners, float*& coords) {
    const auto size = static_cast<GLsizeiptr>(vertices.size() * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_STREAM_DRAW);
    auto* mappedCorners = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
    glBindBuffer(GL_ARRAY_BUFFER, texcoordBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_STREAM_DRAW);
    auto* mappedCoords = static_cast<float*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY));
    if (mappedCorners && mappedCoords) {
        corners = mappedCorners;
        coords = mappedCoords;
        return true;
    }
    LOG_ERROR("Couldn't map VBOs!");
    unmapBuffers();
    return false;
}

void ParticleEmitter::unmapBuffers() {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    const bool corners = glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
    glBindBuffer(GL_ARRAY_BUFFER, texcoordBuffer.name());
    const bool coords = glUnmapBuffer(GL_ARRAY_BUFFER) == GL_TRUE;
    if (!corners || !coords) {
        LOG_ERROR("Couldn't unmap VBOs!");
    }
}

// Quads face the camera: its right and up vectors are the first two rows of the model-view matrix.
void ParticleEmitter::fillQuads(float* corners, float* coords, std::uint32_t count) const {
    GLfloat view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const Vector3 right{view[0], view[4], view[8]};
    const Vector3 up{view[1], view[5], view[9]};
    const Vector3 a = (right + up) * particleSize;
    const Vector3 b = (right - up) * particleSize;
    const float lifetime = fluidEmitter ? fluidEmitter->getParticleLifetime() : emitterDesc.particleLifetime;
    for (std::uint32_t i = 0; i < count; ++i) {
        const PhysicsParticle& particle = particles[i];
        const Vector3 p{particle.position[0], particle.position[1], particle.position[2]};
        float* corner = corners + i * kFloatsPerQuad;
        writeCorner(corner, p - b);
        writeCorner(corner + 3, p - a);
        writeCorner(corner + 6, p + b);
        writeCorner(corner + 9, p + a);
        const float w = ageOf(particle.lifetime, lifetime);
        const bool mirrored = (particle.flags & 1u) == 0;
        float* coord = coords + i * kFloatsPerQuad;
        writeCoord(coord, mirrored ? 1.0f : 0.0f, 0.0f, w);
        writeCoord(coord + 3, mirrored ? 1.0f : 0.0f, 1.0f, w);
        writeCoord(coord + 6, mirrored ? 0.0f : 1.0f, 1.0f, w);
        writeCoord(coord + 9, mirrored ? 0.0f : 1.0f, 0.0f, w);
    }
}

void ParticleEmitter::draw(bool fromBuffers, std::uint32_t count) {
    glBindBuffer(GL_ARRAY_BUFFER, fromBuffers ? vertexBuffer.name() : 0);
    glVertexPointer(3, GL_FLOAT, 0, fromBuffers ? nullptr : vertices.data());
    glBindBuffer(GL_ARRAY_BUFFER, fromBuffers ? texcoordBuffer.name() : 0);
    glTexCoordPointer(3, GL_FLOAT, 0, fromBuffers ? nullptr : texcoords.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * count));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
