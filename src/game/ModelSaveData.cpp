#include "game/ModelSaveData.h"

#include "model/OgreModel.h"
#include "physics/PhysicsActor.h"

namespace {

PhysicsVec3 toPhysics(const Vector3& v) {
    return {v.x, v.y, v.z};
}

// The rotation part of a model matrix as a row-major 3x3 matrix, and its translation.
PhysicsPose poseOf(const Matrix44& matrix) {
    PhysicsPose pose;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            pose.rotation[row * 3 + column] = matrix.at(row, column);
        }
    }
    pose.position = {matrix.at(0, 3), matrix.at(1, 3), matrix.at(2, 3)};
    return pose;
}

} // namespace

void ModelSaveData::capture(OgreModel& model) {
    setModelMatrix(*model.getModelMatrix());
    setInverseModelMatrix(*model.getInverseModelMatrix());
    setLinearVelocity(*model.getLinearVelocity());
    setAngularVelocity(*model.getAngularVelocity());
}

void ModelSaveData::setModelMatrix(const Matrix44& matrix) {
    modelMatrix = matrix;
}

void ModelSaveData::setInverseModelMatrix(const Matrix44& matrix) {
    inverseModelMatrix = matrix;
}

void ModelSaveData::setLinearVelocity(const Vector3& velocity) {
    linearVelocity = velocity;
}

void ModelSaveData::setAngularVelocity(const Vector3& velocity) {
    angularVelocity = velocity;
}

void ModelSaveData::restore(OgreModel& model) {
    PhysicsActor* actor = model.getActor();
    if (actor) {
        actor->setGlobalPose(poseOf(modelMatrix));
    }
    model.setModelMatrix(modelMatrix);
    model.setInverseModelMatrix(inverseModelMatrix);
    if (actor) {
        actor->setLinearVelocity(toPhysics(linearVelocity));
    }
    model.setLinearVelocity(linearVelocity);
    if (actor) {
        actor->setAngularVelocity(toPhysics(angularVelocity));
    }
    model.setAngularVelocity(angularVelocity);
}
