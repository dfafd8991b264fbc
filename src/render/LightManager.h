#pragma once

#include "core/Singleton.h"

#include <mutex>
#include <vector>

#include "render/LightSource.h"

// Eight light slots, one per OpenGL light. Each frame it picks the lights whose
// sphere reaches into the view (slot 0, the player's light, always), hands their
// position and colour to OpenGL, and the selection to the shaders and the shadow pass.
class LightManager : public Singleton<LightManager> {
    friend class Singleton<LightManager>;

public:
    static constexpr int kSlots = 8;
    // Empties every slot that holds `light`; safe when no manager exists.
    static void forget(const LightSource* light);

    // Puts `light` into slot light->index, replacing the light there. An index
    // outside 0..7 is refused with a warning.
    void registerLight(LightSource* light);

    // Once per frame after the frustum is extracted.
    void cullLights();
    // Positions are taken through the current model-view matrix, which holds the camera. A torch's
    // highlights take its diffuse colour.
    void applyLights();
    // "lightIndices" and "lightRadii" on the current program: the whole selection, or one light.
    void setShaderUniforms();
    void setShaderUniformsForLight(const LightSource& light);
    // The selected lights in slot order.
    std::vector<LightSource*> getActiveLights() const;

    LightSource* lights[kSlots] = {}; // locked; read directly only on the game thread
    // Slot indices chosen this frame, ended by -1 when fewer than eight.
    int activeIndices[kSlots] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int glLights[kSlots];
    float activeRadii[kSlots] = {};

private:
    LightManager();
    int activeCount() const;

    mutable std::mutex slotsMutex;
};
