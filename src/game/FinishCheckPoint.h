#pragma once

#include "model/OgreModel.h"

// The goal of a level: its whole body is a trigger volume that completes the
// level when the main character enters it.
class FinishCheckPoint : public OgreModel {
public:
    explicit FinishCheckPoint(const OgreModel& model);
};
