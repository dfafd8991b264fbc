#include "game/FinishCheckPoint.h"

#include "physics/PhysicsActor.h"

FinishCheckPoint::FinishCheckPoint(const OgreModel& model) : OgreModel(model) {
    if (actor && !actor->getShapes().empty()) {
        actor->getShapes().front()->setFlag(PhysicsShapeFlags::TriggerEnable, true);
    }
}
