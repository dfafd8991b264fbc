#pragma once

#include "render/Matrix44.h"
#include "render/Vector3.h"

class OgreModel;

// What a save state keeps of one scene object: its pose and its motion. The
// subclasses add the few gameplay fields of their kind of object.
class ModelSaveData {
public:
    virtual ~ModelSaveData() = default;

    // The virtual operations, in slot order.
    virtual void capture(OgreModel& model);
    virtual void setModelMatrix(const Matrix44& matrix);
    virtual void setInverseModelMatrix(const Matrix44& matrix);
    virtual void setLinearVelocity(const Vector3& velocity);
    virtual void setAngularVelocity(const Vector3& velocity);
    // The actor and the model take the saved pose and motion.
    virtual void restore(OgreModel& model);

    Matrix44 modelMatrix;
    Matrix44 inverseModelMatrix;
    Vector3 linearVelocity;
    Vector3 angularVelocity;
};
