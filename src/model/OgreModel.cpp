#include "model/OgreModel.h"

#include <GL/gl.h>
#include <algorithm>

#include "model/EdgeAnalysis.h"
#include "physics/PhysicsActor.h"
#include "ui/SoundSource.h"

namespace {

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
      angularVelocity(new Vector3(*other.angularVelocity)) {}

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

void OgreModel::applyMaterial(OgreModelSubmesh*) {}

void OgreModel::applyAnimationFactor(OgreModelSubmesh*) {}

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
