#include "model/OgreModel.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>

#include "audio/SoundSource.h"
#include "core/ConfigManager.h"
#include "core/FixedStep.h"
#include "core/Log.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreSceneMaterial.h"
#include "model/ShadowVolume.h"
#include "model/SubmeshArrays.h"
#include "physics/PhysicsActor.h"
#include "render/GlSavedState.h"
#include "render/LightSource.h"
#include "render/ShaderManager.h"
#include "render/TextureLoader.h"

VORN_FILE_LOGGER("OgreModel")

namespace {

enum RenderMode { IMMEDIATE = 0, VERTEX_ARRAYS = 1, VERTEX_BUFFERS = 2 };

// One morph step: the update rate, not the frame time, drives animations.

Config* renderOptions() {
    return ConfigManager::getInstance()->getMainConfig();
}

float distanceTo(const LightSource& light, const Vector3& position) {
    const float dx = light.x - position.x;
    const float dy = light.y - position.y;
    const float dz = light.z - position.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool lightReaches(const LightSource& light, const OgreModelMesh& mesh, const Vector3& position) {
    return distanceTo(light, position) <= mesh.radius + light.radius;
}

// The colour texture of a material, or null when it has none or it cannot be loaded.
TextureLoader::Texture* materialTexture(const OgreSceneMaterial* material) {
    if (!material || !material->hasTexture) {
        return nullptr;
    }
    TextureLoader::Texture* texture = TextureLoader::getInstance()->getTexture(material->texture);
    return texture && texture->glId ? texture : nullptr;
}

// Colour material tracks `property` from here on, starting with `colour`. Some
// drivers update the tracked property only when the current colour is next
// flushed, which would hand each colour to the property tracked after it; with
// tracking off while the colour and the property change, enabling it again
// gives the property its colour at once everywhere, in display lists too.
void applyColour(GLenum property, const OgreSceneMaterial::Colour& colour) {
    if (!colour.present) {
        return;
    }
    glDisable(GL_COLOR_MATERIAL);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    glColorMaterial(GL_FRONT_AND_BACK, property);
    glEnable(GL_COLOR_MATERIAL);
}

GLint minificationFilter(int mipmapQuality, bool bilinear) {
    switch (mipmapQuality) {
    case 0:
        return bilinear ? GL_LINEAR : GL_NEAREST;
    case 1:
        return bilinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case 2:
        return bilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default:
        return GL_LINEAR_MIPMAP_LINEAR;
    }
}

void bindColourTexture(const TextureLoader::Texture& texture, const Config& options) {
    const bool bilinear = options.textureQuality == 1;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, *texture.glId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, bilinear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    minificationFilter(options.mipmapQuality, bilinear));
}

struct AttributeLocations {
    GLint tangent = -1;
    GLint binormal = -1;
    GLint vertex2 = -1;
};

AttributeLocations lookUpAttributes() {
    ShaderManager* shaders = ShaderManager::getInstance();
    return {shaders->getAttribLocation("tangent"), shaders->getAttribLocation("binormal"),
            shaders->getAttribLocation("vertex2")};
}

// Without next positions nothing is morphed.
void drawImmediate(const OgreModelSubmesh* submesh, const AttributeLocations& attributes,
                   const float* positions, const float* nextPositions) {
    const std::size_t corners = submesh->faces.size() * 3;
    glBegin(GL_TRIANGLES);
    for (std::size_t corner = 0; corner < corners; ++corner) {
        if (attributes.tangent >= 0) {
            glVertexAttrib3fv(static_cast<GLuint>(attributes.tangent), submesh->tangents + corner * 3);
        }
        if (attributes.binormal >= 0) {
            glVertexAttrib3fv(static_cast<GLuint>(attributes.binormal), submesh->binormals + corner * 3);
        }
        glTexCoord2fv(submesh->texcoords + corner * 2);
        glNormal3fv(submesh->normals + corner * 3);
        if (nextPositions && attributes.vertex2 >= 0) {
            glVertexAttrib4fv(static_cast<GLuint>(attributes.vertex2), nextPositions + corner * 8);
        }
        glVertex4fv(positions + corner * 8);
    }
    glEnd();
}

// Pointers into client memory, or offsets into the bound buffers when `base` is null.
struct ArraySources {
    const void* normals;
    const void* tangents;
    const void* binormals;
    const void* texcoords;
    const void* positions;
};

void setPointer(GLint location, const void* source) {
    if (location >= 0) {
        glVertexAttribPointer(static_cast<GLuint>(location), 3, GL_FLOAT, GL_FALSE, 0, source);
    }
}

void drawArraysFrom(const OgreModelSubmesh* submesh, const AttributeLocations& attributes,
                    const ArraySources& sources, const GLuint* buffers) {
    const auto bind = [&](int which) {
        if (buffers) {
            glBindBuffer(GL_ARRAY_BUFFER, buffers[which]);
        }
    };
    bind(0);
    glNormalPointer(GL_FLOAT, 0, sources.normals);
    bind(1);
    setPointer(attributes.tangent, sources.tangents);
    bind(2);
    setPointer(attributes.binormal, sources.binormals);
    bind(3);
    glTexCoordPointer(2, GL_FLOAT, 0, sources.texcoords);
    bind(4);
    glVertexPointer(4, GL_FLOAT, 8 * sizeof(float), sources.positions);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(submesh->faces.size() * 3));
}

void drawVertexArrays(const OgreModelSubmesh* submesh, const AttributeLocations& attributes) {
    drawArraysFrom(
        submesh, attributes,
        {submesh->normals, submesh->tangents, submesh->binormals, submesh->texcoords, submesh->positionsAdj},
        nullptr);
}

void createBuffer(unsigned int*& name, const float* data, std::size_t floats, GLenum usage) {
    if (name) {
        return;
    }
    name = new unsigned int(0);
    glGenBuffers(1, name);
    glBindBuffer(GL_ARRAY_BUFFER, *name);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(floats * sizeof(float)), data, usage);
}

void drawVertexBuffers(OgreModelSubmesh* submesh, const AttributeLocations& attributes) {
    const std::size_t faces = submesh->faces.size();
    createBuffer(submesh->normalsBuffer, submesh->normals, faces * SubmeshArrays::kVectorFloatsPerFace,
                 GL_STATIC_DRAW);
    createBuffer(submesh->tangentsBuffer, submesh->tangents, faces * SubmeshArrays::kVectorFloatsPerFace,
                 GL_STATIC_DRAW);
    createBuffer(submesh->binormalsBuffer, submesh->binormals, faces * SubmeshArrays::kVectorFloatsPerFace,
                 GL_STATIC_DRAW);
    createBuffer(submesh->texcoordsBuffer, submesh->texcoords, faces * SubmeshArrays::kTexcoordFloatsPerFace,
                 GL_STATIC_DRAW);
    createBuffer(submesh->positionsBuffer, submesh->positionsAdj,
                 faces * SubmeshArrays::kPositionFloatsPerFace,
                 submesh->tracks.empty() ? GL_STATIC_DRAW : GL_DYNAMIC_DRAW);
    const GLuint buffers[5] = {*submesh->normalsBuffer, *submesh->tangentsBuffer, *submesh->binormalsBuffer,
                               *submesh->texcoordsBuffer, *submesh->positionsBuffer};
    drawArraysFrom(submesh, attributes, {nullptr, nullptr, nullptr, nullptr, nullptr}, buffers);
}

// An animation can be played when its length is positive and, in every track,
// the keyframes start at or before 0, run in order and the last used one starts
// before the end; anything else would leave the segment search without an end.
bool playable(const OgreModelAnimation& animation) {
    if (!(animation.length > 0.0f)) {
        LOG_WARN("Animation '" << animation.name << "' has no length, not played");
        return false;
    }
    for (const OgreModelTrack* track : animation.tracks) {
        const std::vector<OgreModelKeyframe*>& keyframes = track->keyframes;
        const std::size_t used = keyframes.size() - 1; // the last keyframe repeats the first
        bool covered = keyframes.size() >= 2 && keyframes[0]->time <= 0.0f &&
                       keyframes[used - 1]->time < animation.length;
        for (std::size_t k = 1; covered && k < used; ++k) {
            covered = keyframes[k - 1]->time <= keyframes[k]->time;
        }
        if (!covered) {
            LOG_WARN("Animation '" << animation.name
                                   << "' has keyframes that do not cover its length, not played");
            return false;
        }
    }
    return true;
}

// Wraps before the last keyframe, which only closes the loop.
int nextKeyframeIndex(int index, std::size_t keyframeCount) {
    return index + 1 >= static_cast<int>(keyframeCount) - 1 ? 0 : index + 1;
}

void deleteList(unsigned int* list) {
    if (list) {
        glDeleteLists(*list, 1);
        delete list;
    }
}

// Column-major matrix from a row-major rotation and a translation.
void writeMatrix(Matrix44& matrix, const float rotation[9], const float translation[3]) {
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            matrix.at(row, column) = rotation[row * 3 + column];
        }
        matrix.at(3, column) = 0.0f;
        matrix.at(column, 3) = translation[column];
    }
    matrix.at(3, 3) = 1.0f;
}

// Inverse of a row-major 3x3 matrix by cofactors; identity when it is singular.
void invertRotation(const float r[9], float inverse[9]) {
    const float cofactors[9] = {
        r[4] * r[8] - r[5] * r[7], r[5] * r[6] - r[3] * r[8], r[3] * r[7] - r[4] * r[6],
        r[2] * r[7] - r[1] * r[8], r[0] * r[8] - r[2] * r[6], r[1] * r[6] - r[0] * r[7],
        r[1] * r[5] - r[2] * r[4], r[2] * r[3] - r[0] * r[5], r[0] * r[4] - r[1] * r[3]};
    const float determinant = r[0] * cofactors[0] + r[1] * cofactors[1] + r[2] * cofactors[2];
    if (determinant == 0.0f) {
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::copy(identity, identity + 9, inverse);
        return;
    }
    // The inverse is the transposed cofactor matrix over the determinant.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            inverse[row * 3 + column] = cofactors[column * 3 + row] / determinant;
        }
    }
}

Vector3 toVector(const PhysicsVec3& vector) {
    return {vector.x, vector.y, vector.z};
}

} // namespace

OgreModel::OgreModel()
    : modelMatrix(new Matrix44()), inverseModelMatrix(new Matrix44()), position(new Vector3()),
      linearVelocity(new Vector3()), angularVelocity(new Vector3()) {}

OgreModel::OgreModel(const OgreModel& other)
    : mesh(other.mesh), hash(other.hash), expectedHash(other.expectedHash), profile(other.profile),
      actor(other.actor), modelMatrix(new Matrix44(*other.modelMatrix)),
      inverseModelMatrix(new Matrix44(*other.inverseModelMatrix)), position(new Vector3(*other.position)),
      linearVelocity(new Vector3(*other.linearVelocity)),
      angularVelocity(new Vector3(*other.angularVelocity)), materials(other.materials) {}

OgreModel::~OgreModel() {
    delete modelMatrix;
    delete inverseModelMatrix;
    delete position;
    delete linearVelocity;
    delete angularVelocity;
    deleteList(displayList);
    deleteList(shadowDisplayList);
}

void OgreModel::playSound() {
    if (soundSource) {
        soundSource->play();
    }
}

void OgreModel::stopSound() {
    if (soundSource) {
        soundSource->stop();
    }
}

void OgreModel::reset() {}

void OgreModel::renderIfInRange(std::vector<LightSource*> lights) {
    if (!mesh) {
        return;
    }
    const bool reached =
        lights.empty() || std::any_of(lights.begin(), lights.end(), [this](const LightSource* light) {
            return lightReaches(*light, *mesh, *position);
        });
    if (reached) {
        render(nullptr);
    }
}

void OgreModel::render(LightSource* light) {
    if (!mesh || (light && !lightReaches(*light, *mesh, *position))) {
        return;
    }
    // Colour tracking and the current colour go back, so a later glColor of the overlay cannot
    // rewrite the last material; client pointers address memory, not a buffer left bound.
    const GlSavedState saved(GlSavedState::Colour | GlSavedState::Textures | GlSavedState::ArrayBuffer,
                             {GL_TEXTURE_2D, GL_COLOR_MATERIAL});
    glPushMatrix();
    glMultMatrixf(modelMatrix->m);
    const Config* options = renderOptions();
    if (options->displayLists && currentAnimation.empty() && options->renderMode != VERTEX_BUFFERS) {
        callDisplayList(*options);
    } else {
        drawSubmeshes();
    }
    glPopMatrix();
}

void OgreModel::renderShadowVolume(LightSource* light, bool useGeometryShader, bool zPass) {
    renderShadowVolumeWithin(light, useGeometryShader, zPass, 0.0f);
}

void OgreModel::renderShadowVolumeWithin(LightSource* light, bool useGeometryShader, bool zPass,
                                         float reach) {
    if (!mesh || !light) {
        return;
    }
    const Vector3 lightObject = inverseModelMatrix->transform({light->x, light->y, light->z});
    if (lightObject.length() > mesh->radius + light->radius) {
        return;
    }
    const GlSavedState saved(GlSavedState::ArrayBuffer);
    glPushMatrix();
    glMultMatrixf(modelMatrix->m);
    if (useGeometryShader) {
        renderGeometryVolume(lightObject, zPass, reach);
    } else {
        // The program extrudes in object space, which the model may scale.
        const Matrix44& toObject = *inverseModelMatrix;
        const Vector3 unit{toObject.at(0, 0), toObject.at(1, 0), toObject.at(2, 0)};
        renderCpuVolume(lightObject, zPass, reach * unit.length());
    }
    glPopMatrix();
}

void OgreModel::renderGeometryVolume(const Vector3& lightObject, bool zPass, float reach) {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform1i("robust", mesh->hasCracks ? 1 : 0);
    shaders->setUniform1i("zpass", zPass ? 1 : 0);
    shaders->setUniform1f("reach", reach);
    Matrix44 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    const Vector3 eyeLight = modelView.transform(lightObject);
    shaders->setUniform3f("lightPos", eyeLight.x, eyeLight.y, eyeLight.z);
    // Morphing meshes change every frame; the others keep one list for every light.
    if (!mesh->animations.empty()) {
        drawAdjacencyStreams();
        return;
    }
    if (!shadowDisplayList) {
        shadowDisplayList = new unsigned int(glGenLists(1));
        glNewList(*shadowDisplayList, GL_COMPILE);
        drawAdjacencyStreams();
        glEndList();
    }
    glCallList(*shadowDisplayList);
}

void OgreModel::drawAdjacencyStreams() {
    const GLint vertex2 = ShaderManager::getInstance()->getAttribLocation("vertex2");
    for (const auto& [name, submesh] : mesh->submeshes) {
        applyAnimationFactor(submesh);
        const SubmeshPlayback* morph = morphOf(submesh);
        const bool morphing = morph && vertex2 >= 0;
        if (morphing) {
            glEnableVertexAttribArray(static_cast<GLuint>(vertex2));
            glVertexAttribPointer(static_cast<GLuint>(vertex2), 4, GL_FLOAT, GL_FALSE, 0,
                                  morph->nextPositions.data());
        }
        glVertexPointer(4, GL_FLOAT, 0, positionsOf(submesh));
        glDrawArrays(GL_TRIANGLES_ADJACENCY_EXT, 0, static_cast<GLsizei>(submesh->faces.size() * 6));
        if (morphing) {
            glDisableVertexAttribArray(static_cast<GLuint>(vertex2));
        }
    }
}

void OgreModel::renderCpuVolume(const Vector3& lightObject, bool zPass, float reach) {
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->setUniform3f("lightInObjectSpace", lightObject.x, lightObject.y, lightObject.z);
    shaders->setUniform1f("reach", reach);
    for (const auto& [name, submesh] : mesh->submeshes) {
        applyAnimationFactor(submesh);
        const SubmeshPlayback* morph = morphOf(submesh);
        if (!submesh->shadowVertices) {
            submesh->shadowVertices = new float[submesh->faces.size() * ShadowVolume::kFloatsPerFace];
        }
        const ShadowVolume::Source source{submesh, positionsOf(submesh),
                                          morph ? morph->nextPositions.data() : nullptr,
                                          morph ? morph->blendFactor : 0.0f};
        const int vertices = ShadowVolume::build(source, lightObject, zPass, mesh->hasCracks,
                                                 submesh->shadowVertices, reach > 0.0f);
        glVertexPointer(4, GL_FLOAT, 0, submesh->shadowVertices);
        glDrawArrays(GL_TRIANGLES, 0, vertices);
    }
}

void OgreModel::setAnimation(const std::string& name) {
    if (!mesh) {
        return;
    }
    const auto animation = mesh->animations.find(name);
    if (animation != mesh->animations.end() && playable(*animation->second)) {
        currentAnimation = name;
        animationTime = 0.0f;
        playback.clear();
    }
}

void OgreModel::updateAnimation() {
    if (!mesh || currentAnimation.empty()) {
        return;
    }
    const auto found = mesh->animations.find(currentAnimation);
    if (found == mesh->animations.end()) {
        return;
    }
    const OgreModelAnimation& animation = *found->second;
    animationTime += kStepSeconds;
    // A length too small to change the time when subtracted must still wrap it.
    if (animation.length <= animationTime) {
        animationTime = std::fmod(animationTime, animation.length);
    }
    for (const auto& [name, submesh] : mesh->submeshes) {
        const auto track = submesh->tracks.find(currentAnimation);
        if (track != submesh->tracks.end()) {
            advanceTrack(*submesh, *track->second, animation.length);
        }
    }
}

void OgreModel::advanceTrack(const OgreModelSubmesh& submesh, const OgreModelTrack& track, float length) {
    const std::vector<OgreModelKeyframe*>& keyframes = track.keyframes;
    SubmeshPlayback& state = playback[&submesh];
    if (state.nextPositions.empty()) {
        const std::size_t floats = submesh.faces.size() * SubmeshArrays::kPositionFloatsPerFace;
        state.positions.assign(submesh.positionsAdj, submesh.positionsAdj + floats);
        state.nextPositions.resize(floats);
        SubmeshArrays::fillPositions(submesh, state.nextPositions.data(), keyframes[state.nextKeyframe]);
    }
    // setAnimation made sure some segment holds every time below the length.
    const int previousNext = state.nextKeyframe;
    int steps = 0;
    float start = 0.0f;
    float end = 0.0f;
    for (std::size_t tried = 0; tried <= keyframes.size(); ++tried) {
        start = keyframes[state.currentKeyframe]->time;
        end = state.nextKeyframe == 0 ? length : keyframes[state.nextKeyframe]->time;
        if (start <= animationTime && end > animationTime) {
            break;
        }
        state.currentKeyframe = nextKeyframeIndex(state.currentKeyframe, keyframes.size());
        state.nextKeyframe = nextKeyframeIndex(state.nextKeyframe, keyframes.size());
        ++steps;
    }
    state.blendFactor = std::clamp((animationTime - start) / (end - start), 0.0f, 1.0f);
    if (steps == 0) {
        return;
    }
    // One step usually moves on to the keyframe already waiting in the next positions.
    if (steps == 1 && state.currentKeyframe == previousNext) {
        std::swap(state.positions, state.nextPositions);
        SubmeshArrays::fillPositions(submesh, state.nextPositions.data(), keyframes[state.nextKeyframe]);
    } else {
        SubmeshArrays::fillPositions(submesh, state.positions.data(), keyframes[state.currentKeyframe]);
        SubmeshArrays::fillPositions(submesh, state.nextPositions.data(), keyframes[state.nextKeyframe]);
    }
}

const SubmeshPlayback* OgreModel::morphOf(const OgreModelSubmesh* submesh) const {
    if (currentAnimation.empty() || submesh->tracks.count(currentAnimation) == 0) {
        return nullptr;
    }
    const auto state = playback.find(submesh);
    return state == playback.end() ? nullptr : &state->second;
}

const float* OgreModel::positionsOf(const OgreModelSubmesh* submesh) const {
    const SubmeshPlayback* morph = morphOf(submesh);
    return morph ? morph->positions.data() : submesh->positionsAdj;
}

void OgreModel::callDisplayList(const Config& options) {
    const bool current = displayList && listRenderMode == options.renderMode &&
                         listMipmapMode == options.mipmapQuality &&
                         listTextureFilter == options.textureQuality;
    if (!current) {
        if (displayList) {
            glDeleteLists(*displayList, 1);
        } else {
            displayList = new unsigned int(0);
        }
        loadTextures();
        *displayList = glGenLists(1);
        glNewList(*displayList, GL_COMPILE);
        drawSubmeshes();
        glEndList();
        listRenderMode = options.renderMode;
        listMipmapMode = options.mipmapQuality;
        listTextureFilter = options.textureQuality;
    }
    glCallList(*displayList);
}

void OgreModel::loadTextures() {
    for (const auto& [name, submesh] : mesh->submeshes) {
        materialTexture(getMaterial(submesh));
    }
}

void OgreModel::drawSubmeshes() {
    const bool animating = !currentAnimation.empty();
    const int mode = animating ? IMMEDIATE : renderOptions()->renderMode;
    const AttributeLocations attributes = lookUpAttributes();
    for (const auto& [name, submesh] : mesh->submeshes) {
        applyMaterial(submesh);
        if (mode == VERTEX_ARRAYS) {
            drawVertexArrays(submesh, attributes);
        } else if (mode == VERTEX_BUFFERS) {
            drawVertexBuffers(submesh, attributes);
        } else {
            const SubmeshPlayback* morph = morphOf(submesh);
            drawImmediate(submesh, attributes, positionsOf(submesh),
                          morph ? morph->nextPositions.data() : nullptr);
        }
        // applyMaterial switched texturing off for an untextured submesh.
        if (!materialTexture(getMaterial(submesh))) {
            glEnable(GL_TEXTURE_2D);
        }
    }
}

void OgreModel::calcEdges() {
    if (mesh) {
        EdgeAnalysis::calcEdges(*mesh);
    }
}

void OgreModel::createVertexArrays() {
    LOG_TRACE("Creating Vertex Arrays");
    if (!mesh) {
        return;
    }
    for (const auto& [name, submesh] : mesh->submeshes) {
        SubmeshArrays::build(*submesh);
    }
}

PhysicsActor* OgreModel::getActor() {
    return actor;
}

void OgreModel::setActor(PhysicsActor* newActor) {
    actor = newActor;
}

// Called once per frame, only for models that have an actor.
void OgreModel::update() {
    const PhysicsPose pose = actor->getGlobalPose();
    const float translation[3] = {pose.position.x, pose.position.y, pose.position.z};
    applyGlobalPose(pose.rotation, translation);
    *position = toVector(actor->getGlobalPosition());
    if (actor->isDynamic()) {
        *linearVelocity = toVector(actor->getLinearVelocity());
        *angularVelocity = toVector(actor->getAngularVelocity());
    }
    if (soundSource) {
        soundSource->setPosition({position->x, position->y, position->z});
    }
    if (mesh && !mesh->animations.empty()) {
        updateAnimation();
    }
}

Matrix44* OgreModel::getModelMatrix() {
    return modelMatrix;
}

void OgreModel::setModelMatrix(Matrix44 matrix) {
    *modelMatrix = matrix;
}

Matrix44* OgreModel::getInverseModelMatrix() {
    return inverseModelMatrix;
}

void OgreModel::setInverseModelMatrix(Matrix44 matrix) {
    *inverseModelMatrix = matrix;
}

Vector3* OgreModel::getPosition() {
    return position;
}

void OgreModel::setPosition(Vector3 vector) {
    *position = vector;
}

Vector3* OgreModel::getLinearVelocity() {
    return linearVelocity;
}

void OgreModel::setLinearVelocity(Vector3 vector) {
    *linearVelocity = vector;
}

Vector3* OgreModel::getAngularVelocity() {
    return angularVelocity;
}

void OgreModel::setAngularVelocity(Vector3 vector) {
    *angularVelocity = vector;
}

void OgreModel::applyMaterial(OgreModelSubmesh* submesh) {
    ShaderManager* shaders = ShaderManager::getInstance();
    const OgreSceneMaterial* material = getMaterial(submesh);
    if (material) {
        applyColour(GL_AMBIENT, material->ambient);
        applyColour(GL_DIFFUSE, material->diffuse);
        applyColour(GL_SPECULAR, material->specular);
        if (material->specular.present) {
            // OpenGL refuses shininess outside 0..128.
            glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(material->shininess, 0.0f, 128.0f));
        }
        applyColour(GL_EMISSION, material->emissive);
    }
    if (const TextureLoader::Texture* texture = materialTexture(material)) {
        bindColourTexture(*texture, *renderOptions());
        shaders->setUniform1i("Texture0", 0);
        shaders->setUniform1i("textureMode", 1);
        if (texture->hasBump && texture->bumpGlId) {
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, *texture->bumpGlId);
            shaders->setUniform1i("bumpMap", 1);
            shaders->setUniform1i("hasBump", 1);
            glActiveTexture(GL_TEXTURE0);
        } else {
            shaders->setUniform1i("hasBump", 0);
        }
    } else {
        shaders->setUniform1i("textureMode", 0);
        shaders->setUniform1i("hasBump", 0);
        glDisable(GL_TEXTURE_2D);
    }
    applyAnimationFactor(submesh);
}

const OgreSceneMaterial* OgreModel::getMaterial(const OgreModelSubmesh* submesh) const {
    const auto found = materials.find(submesh);
    return found == materials.end() ? nullptr : found->second;
}

void OgreModel::setMaterial(const OgreModelSubmesh* submesh, const OgreSceneMaterial* material) {
    materials[submesh] = material;
}

float OgreModel::getSoundMass() const {
    return actor ? actor->getMass() : 0.0f;
}

void OgreModel::applyAnimationFactor(OgreModelSubmesh* submesh) {
    const SubmeshPlayback* morph = morphOf(submesh);
    ShaderManager::getInstance()->setUniform1f("animationfactor", morph ? morph->blendFactor : 0.0f);
}

void OgreModel::applyGlobalPose(const float rotation[9], const float translation[3]) {
    writeMatrix(*modelMatrix, rotation, translation);
    float inverse[9];
    invertRotation(rotation, inverse);
    float inverseTranslation[3];
    for (int row = 0; row < 3; ++row) {
        inverseTranslation[row] =
            -(inverse[row * 3] * translation[0] + inverse[row * 3 + 1] * translation[1] +
              inverse[row * 3 + 2] * translation[2]);
    }
    writeMatrix(*inverseModelMatrix, inverse, inverseTranslation);
}
