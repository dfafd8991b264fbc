#include "scene/SceneRenderer.h"

#include <GL/glew.h>

#include "core/ConfigManager.h"
#include "render/SystemInfo.h"
#include "model/OgreModel.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "scene/LightScissor.h"
#include "scene/PassState.h"

namespace {

enum ShaderMode { AMBIENT = 0, ONE_LIGHT = 1, ALL_LIGHTS = 2 };

// Immediate mode (0) sends every vertex itself; the other modes draw from arrays.
bool usesArrays(const Config& options) {
    return options.renderMode != 0;
}

bool inView(const OgreModel& model) {
    const Vector3& at = *model.position;
    return Frustum::getInstance()->sphereInFrustum(at.x, at.y, at.z, model.mesh ? model.mesh->radius : 0.0f);
}

void drawAll(const std::vector<OgreModel*>& models, LightSource* light) {
    for (OgreModel* model : models) {
        model->render(light);
    }
}

void drawInRange(const std::vector<OgreModel*>& models, const std::vector<LightSource*>& lights) {
    for (OgreModel* model : models) {
        model->renderIfInRange(lights);
    }
}

void setMode(ShaderMode mode) {
    ShaderManager::getInstance()->setUniform1i("mode", mode);
}

// Every light of the frame at once, for the fixed pipeline and the shader alike.
void useAllLights(const std::vector<LightSource*>& lights, PassState& state) {
    state.enableLights(lights);
    setMode(ALL_LIGHTS);
    LightManager::getInstance()->setShaderUniforms();
}

} // namespace

SceneRenderer::SceneRenderer() {
    const SystemInfo* system = SystemInfo::getInstance();
    capabilities.geometryShader = system->geometryShader;
    capabilities.depthBounds = system->depthBoundsTest;
    capabilities.twoSidedStencil = system->versionIndex > 5;
}

bool SceneRenderer::isTransparent(const std::string& entityName) {
    return entityName.find("(t)") != std::string::npos;
}

void SceneRenderer::render(const std::vector<SceneObject>& objects, const SegmentTest& segmentBlocked) {
    const Config& options = *ConfigManager::getInstance()->getMainConfig();
    PassState state;
    if (options.shadows && ShaderManager::getInstance()->isEnabled()) {
        renderShadowed(objects, segmentBlocked, state);
    } else {
        renderPlain(objects, state);
    }
}

SceneRenderer::Groups SceneRenderer::group(const std::vector<SceneObject>& objects, bool culling) {
    Groups groups;
    for (const SceneObject& object : objects) {
        if (object.castShadows) {
            groups.casters.push_back(object.model);
        }
        if (culling && !inView(*object.model)) {
            continue;
        }
        if (object.receiveShadows) {
            (object.transparent ? groups.receivingTransparent : groups.receivingOpaque)
                .push_back(object.model);
        } else {
            (object.transparent ? groups.otherTransparent : groups.otherOpaque).push_back(object.model);
        }
    }
    return groups;
}

void SceneRenderer::renderShadowed(const std::vector<SceneObject>& objects, const SegmentTest& segmentBlocked,
                                   PassState& state) {
    const Config& options = *ConfigManager::getInstance()->getMainConfig();
    state.drawingArrays(usesArrays(options));
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    const Groups groups = group(objects, options.frustumCulling);

    setMode(AMBIENT);
    drawAll(groups.receivingOpaque, nullptr);
    drawAll(groups.receivingTransparent, nullptr);

    setMode(ONE_LIGHT);
    state.beginLightPasses(options.scissorTest, options.scissorTest && capabilities.depthBounds);
    const std::vector<LightSource*> lights = LightManager::getInstance()->getActiveLights();
    for (LightSource* light : lights) {
        renderLight(*light, groups, segmentBlocked, state);
    }
    state.endLightPasses();

    useAllLights(lights, state);
    drawInRange(groups.otherOpaque, lights);
    drawInRange(groups.otherTransparent, lights);
    state.drawingArrays(false);
}

void SceneRenderer::renderLight(LightSource& light, const Groups& groups, const SegmentTest& segmentBlocked,
                                PassState& state) const {
    const Config& options = *ConfigManager::getInstance()->getMainConfig();
    if (options.scissorTest) {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        // The projection's first entry is the near-plane distance over the near plane's half width.
        state.restrictTo(LightScissor::compute(modelView.transform({light.x, light.y, light.z}), light.radius,
                                               projection, viewport[2], viewport[3], projection.at(0, 0)));
    }
    // Z-pass counts wrongly once the eye is inside a volume, which a blocked view of the light betrays.
    const bool zPass = options.zPass && !segmentBlocked({light.x, light.y, light.z}, eyePosition());
    state.shadowArrays();
    countShadows(light, groups.casters, zPass, state);
    state.drawingArrays(usesArrays(options));

    state.beginLitPass(light);
    LightManager::getInstance()->setShaderUniformsForLight(light);
    drawAll(groups.receivingOpaque, &light);
    drawAll(groups.receivingTransparent, &light);
}

void SceneRenderer::countShadows(LightSource& light, const std::vector<OgreModel*>& casters, bool zPass,
                                 PassState& state) const {
    const Config& options = *ConfigManager::getInstance()->getMainConfig();
    ShaderManager* shaders = ShaderManager::getInstance();
    Shader* lighting = shaders->current;
    const bool geometry = options.geometryShader && capabilities.geometryShader && shaders->shadowGeometry;
    shaders->useProgram(geometry ? shaders->shadowGeometry.get() : shaders->shadow.get());
    state.beginStencilCounting();
    const int drawings = capabilities.twoSidedStencil ? 1 : 2;
    for (int drawing = 0; drawing < drawings; ++drawing) {
        if (capabilities.twoSidedStencil) {
            state.countBothSides(zPass);
        } else {
            state.countOneSide(zPass, drawing);
        }
        for (OgreModel* caster : casters) {
            caster->renderShadowVolume(&light, geometry, zPass);
        }
    }
    state.endStencilCounting();
    shaders->useProgram(lighting);
}

void SceneRenderer::renderPlain(const std::vector<SceneObject>& objects, PassState& state) const {
    const Config& options = *ConfigManager::getInstance()->getMainConfig();
    state.drawingArrays(usesArrays(options));
    useAllLights(LightManager::getInstance()->getActiveLights(), state);
    std::vector<OgreModel*> transparent;
    for (const SceneObject& object : objects) {
        if (options.frustumCulling && !inView(*object.model)) {
            continue;
        }
        if (object.transparent) {
            transparent.push_back(object.model);
        } else {
            object.model->render(nullptr);
        }
    }
    drawAll(transparent, nullptr);
    state.drawingArrays(false);
}

void SceneRenderer::renderParticles(const std::function<void()>& mainCharacter,
                                    const std::vector<ParticleSource>& torches) const {
    if (mainCharacter) {
        mainCharacter();
    }
    const Frustum* frustum = Frustum::getInstance();
    for (const ParticleSource& torch : torches) {
        if (torch.draw && frustum->sphereInFrustum(torch.position.x, torch.position.y, torch.position.z,
                                                   torch.radius + 2.0f)) {
            torch.draw();
        }
    }
}

// The eye in world space: the view's translation taken back through its rotation.
Vector3 SceneRenderer::eyePosition() const {
    const Vector3 translation{modelView.at(0, 3), modelView.at(1, 3), modelView.at(2, 3)};
    Vector3 eye;
    for (int axis = 0; axis < 3; ++axis) {
        const Vector3 column{modelView.at(0, axis), modelView.at(1, axis), modelView.at(2, axis)};
        (axis == 0 ? eye.x : axis == 1 ? eye.y : eye.z) = -column.dot(translation);
    }
    return eye;
}
