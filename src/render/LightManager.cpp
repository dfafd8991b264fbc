#include "render/LightManager.h"

#include <GL/glew.h>

#include "core/Log.h"
#include "render/Frustum.h"
#include "render/ShaderManager.h"

VORN_FILE_LOGGER("LightManager")

void LightManager::forget(const LightSource* light) {
    LightManager* manager = existingInstance();
    if (!manager) {
        return;
    }
    const std::lock_guard<std::mutex> lock(manager->slotsMutex);
    for (LightSource*& slot : manager->lights) {
        if (slot == light) {
            slot = nullptr;
        }
    }
}

LightManager::LightManager() {
    for (int slot = 0; slot < kSlots; ++slot) {
        glLights[slot] = GL_LIGHT0 + slot;
    }
}

void LightManager::registerLight(LightSource* light) {
    if (light->index < 0 || light->index >= kSlots) {
        LOG_WARN("Light index " << light->index << " is outside the eight light slots, light ignored");
        return;
    }
    const std::lock_guard<std::mutex> lock(slotsMutex);
    lights[light->index] = light;
}

void LightManager::cullLights() {
    const Frustum* frustum = Frustum::getInstance();
    const std::lock_guard<std::mutex> lock(slotsMutex);
    int count = 0;
    for (const LightSource* light : lights) {
        if (!light) {
            continue;
        }
        if (light->index == 0 || frustum->sphereInFrustum(light->x, light->y, light->z, light->radius)) {
            activeIndices[count] = light->index;
            activeRadii[count] = light->radius;
            ++count;
        }
    }
    if (count < kSlots) {
        activeIndices[count] = -1;
    }
}

int LightManager::activeCount() const {
    int count = 0;
    while (count < kSlots && activeIndices[count] != -1) {
        ++count;
    }
    return count;
}

void LightManager::applyLights() {
    const std::lock_guard<std::mutex> lock(slotsMutex);
    for (int i = 0; i < activeCount(); ++i) {
        const LightSource* light = lights[activeIndices[i]];
        if (!light) {
            continue;
        }
        const Vector4 position = light->getPosition();
        const Vector4 diffuse = light->getDiffuse();
        const float positionValues[4] = {position.x, position.y, position.z, position.w};
        const float diffuseValues[4] = {diffuse.x, diffuse.y, diffuse.z, diffuse.w};
        const GLenum glLight = static_cast<GLenum>(glLights[activeIndices[i]]);
        glLightfv(glLight, GL_POSITION, positionValues);
        glLightfv(glLight, GL_DIFFUSE, diffuseValues);
        // Torches shine in their own colour; the main character's light keeps the white set at start-up.
        if (light->index != 0) {
            glLightfv(glLight, GL_SPECULAR, diffuseValues);
        }
    }
}

void LightManager::setShaderUniforms() {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1iv("lightIndices", kSlots, activeIndices);
    shaders->setUniform1fv("lightRadii", kSlots, activeRadii);
}

void LightManager::setShaderUniformsForLight(const LightSource& light) {
    const int indices[kSlots] = {light.index, -1, 0, 0, 0, 0, 0, 0};
    const float radii[kSlots] = {light.radius, 0, 0, 0, 0, 0, 0, 0};
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1iv("lightIndices", kSlots, indices);
    shaders->setUniform1fv("lightRadii", kSlots, radii);
}

std::vector<LightSource*> LightManager::getActiveLights() const {
    const std::lock_guard<std::mutex> lock(slotsMutex);
    std::vector<LightSource*> active;
    for (int i = 0; i < activeCount(); ++i) {
        if (lights[activeIndices[i]]) {
            active.push_back(lights[activeIndices[i]]);
        }
    }
    return active;
}
