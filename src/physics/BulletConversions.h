#pragma once

#include <LinearMath/btTransform.h>

#include "physics/PhysicsMath.h"

// Conversions between the interface's value types and the engine's.

inline btVector3 toBullet(const PhysicsVec3& v) {
    return {v.x, v.y, v.z};
}

inline PhysicsVec3 fromBullet(const btVector3& v) {
    return {v.x(), v.y(), v.z()};
}

inline btQuaternion toBullet(const PhysicsQuat& q) {
    return {q.x, q.y, q.z, q.w};
}

inline PhysicsQuat fromBullet(const btQuaternion& q) {
    return {q.x(), q.y(), q.z(), q.w()};
}

inline btTransform toBullet(const PhysicsPose& pose) {
    const float* r = pose.rotation;
    const btMatrix3x3 basis(r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8]);
    return btTransform(basis, toBullet(pose.position));
}

inline PhysicsPose fromBullet(const btTransform& transform) {
    PhysicsPose pose;
    const btMatrix3x3& basis = transform.getBasis();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            pose.rotation[3 * row + column] = basis[row][column];
        }
    }
    pose.position = fromBullet(transform.getOrigin());
    return pose;
}

inline bool isIdentity(const PhysicsPose& pose) {
    const PhysicsPose identity;
    for (int i = 0; i < 9; ++i) {
        if (pose.rotation[i] != identity.rotation[i]) {
            return false;
        }
    }
    return pose.position.x == 0.0f && pose.position.y == 0.0f && pose.position.z == 0.0f;
}
