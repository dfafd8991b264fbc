#include "model/OgreModel.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

#include "model/EdgeAnalysis.h"

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void deleteList(unsigned int* list) {
    if (list) {
        glDeleteLists(*list, 1);
        delete list;
    }
}

// Column-major matrix from a row-major rotation and a translation.
void writeMatrix(float matrix[16], const float rotation[9], const float translation[3]) {
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            matrix[column * 4 + row] = rotation[row * 3 + column];
        }
        matrix[column * 4 + 3] = 0.0f;
    }
    std::copy(translation, translation + 3, matrix + 12);
    matrix[15] = 1.0f;
}

// Inverse of a row-major 3x3 matrix by cofactors; identity when it is singular.
void invertRotation(const float r[9], float inverse[9]) {
    const float cofactors[9] = {r[4] * r[8] - r[5] * r[7], r[5] * r[6] - r[3] * r[8], r[3] * r[7] - r[4] * r[6],
                                r[2] * r[7] - r[1] * r[8], r[0] * r[8] - r[2] * r[6], r[1] * r[6] - r[0] * r[7],
                                r[1] * r[5] - r[2] * r[4], r[2] * r[3] - r[0] * r[5], r[0] * r[4] - r[1] * r[3]};
    const float determinant = r[0] * cofactors[0] + r[1] * cofactors[1] + r[2] * cofactors[2];
    if (determinant == 0.0f) {
        std::copy(kIdentity, kIdentity + 3, inverse);
        std::copy(kIdentity + 4, kIdentity + 7, inverse + 3);
        std::copy(kIdentity + 8, kIdentity + 11, inverse + 6);
        return;
    }
    // The inverse is the transposed cofactor matrix over the determinant.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            inverse[row * 3 + column] = cofactors[column * 3 + row] / determinant;
        }
    }
}

} // namespace

OgreModel::OgreModel() {
    std::copy(kIdentity, kIdentity + 16, modelMatrix);
    std::copy(kIdentity, kIdentity + 16, inverseModelMatrix);
}

OgreModel::OgreModel(const OgreModel& other)
    : mesh(other.mesh), hash(other.hash), expectedHash(other.expectedHash), profile(other.profile),
      actor(other.actor) {
    std::copy(other.modelMatrix, other.modelMatrix + 16, modelMatrix);
    std::copy(other.inverseModelMatrix, other.inverseModelMatrix + 16, inverseModelMatrix);
    std::copy(other.position, other.position + 3, position);
    std::copy(other.linearVelocity, other.linearVelocity + 3, linearVelocity);
    std::copy(other.angularVelocity, other.angularVelocity + 3, angularVelocity);
}

OgreModel::~OgreModel() {
    deleteList(displayList);
    deleteList(shadowDisplayList);
}

// Sound sources arrive with the sound manager.
void OgreModel::playSound() {}

void OgreModel::stopSound() {}

void OgreModel::reset() {}

// Drawing, shadow volumes and morph playback arrive with the renderer.
void OgreModel::renderIfInRange(std::vector<LightSource*>) {}

void OgreModel::render(LightSource*) {}

void OgreModel::renderShadowVolume(LightSource*, bool, bool) {}

void OgreModel::setAnimation(const std::string& name) {
    if (mesh && mesh->animations.count(name) != 0) {
        currentAnimation = name;
        animationTime = 0.0f;
    }
}

void OgreModel::updateAnimation() {}

void OgreModel::calcEdges() {
    if (mesh) {
        EdgeAnalysis::calcEdges(*mesh);
    }
}

void OgreModel::createVertexArrays() {}

PhysicsActor* OgreModel::getActor() { return actor; }

void OgreModel::setActor(PhysicsActor* newActor) { actor = newActor; }

// The actor's pose is read through applyGlobalPose once the physics layer drives it.
void OgreModel::update() {}

float* OgreModel::getModelMatrix() { return modelMatrix; }

void OgreModel::setModelMatrix(const float matrix[16]) { std::copy(matrix, matrix + 16, modelMatrix); }

float* OgreModel::getInverseModelMatrix() { return inverseModelMatrix; }

void OgreModel::setInverseModelMatrix(const float matrix[16]) {
    std::copy(matrix, matrix + 16, inverseModelMatrix);
}

float* OgreModel::getPosition() { return position; }

void OgreModel::setPosition(const float vector[3]) { std::copy(vector, vector + 3, position); }

float* OgreModel::getLinearVelocity() { return linearVelocity; }

void OgreModel::setLinearVelocity(const float vector[3]) { std::copy(vector, vector + 3, linearVelocity); }

float* OgreModel::getAngularVelocity() { return angularVelocity; }

void OgreModel::setAngularVelocity(const float vector[3]) { std::copy(vector, vector + 3, angularVelocity); }

void OgreModel::applyMaterial(OgreModelSubmesh*) {}

void OgreModel::applyAnimationFactor(OgreModelSubmesh*) {}

void OgreModel::applyGlobalPose(const float rotation[9], const float translation[3]) {
    writeMatrix(modelMatrix, rotation, translation);
    float inverse[9];
    invertRotation(rotation, inverse);
    float inverseTranslation[3];
    for (int row = 0; row < 3; ++row) {
        inverseTranslation[row] = -(inverse[row * 3] * translation[0] + inverse[row * 3 + 1] * translation[1] +
                                    inverse[row * 3 + 2] * translation[2]);
    }
    writeMatrix(inverseModelMatrix, inverse, inverseTranslation);
}
