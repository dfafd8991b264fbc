#include "game/Fog.h"

#include "physics/PhysicsActor.h"

Fog::Fog(const OgreModel& model) : OgreModel(model) {
    if (actor && !actor->getShapes().empty()) {
        actor->getShapes().front()->setFlag(PhysicsShapeFlags::TriggerEnable, true);
    }
}

void Fog::renderIfInRange(std::vector<LightSource*>) {}

void Fog::render(LightSource*) {}
