#include "game/ContactReport.h"

#include <cmath>

#include "game/CheckPoint.h"
#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "audio/SoundManager.h"

namespace {

OgreModel* objectOf(const PhysicsActor* actor) {
    return static_cast<OgreModel*>(actor->getUserData());
}

} // namespace

float ContactReport::groundAngle(float d) {
    const float angle = std::acos(d) * 180.0f / 3.1415927f;
    if (std::isnan(angle)) {
        return d >= 0.0f ? 0.0f : -1.0f;
    }
    return angle;
}

void ContactReport::onContactNotify(PhysicsContactPair& pair, std::uint32_t events) {
    if (events == PhysicsContactEvents::Touch) {
        return;
    }
    PhysicsActor* mainActor = nullptr;
    PhysicsActor* other = nullptr;
    if (pair.actors[0]->getGroup() == MainChar::kActorGroup) {
        mainActor = pair.actors[0];
        other = pair.actors[1];
    } else if (pair.actors[1]->getGroup() == MainChar::kActorGroup) {
        mainActor = pair.actors[1];
        other = pair.actors[0];
    }
    MainChar* mainChar = mainActor ? dynamic_cast<MainChar*>(objectOf(mainActor)) : nullptr;
    for (const PhysicsContactPatch& patch : pair.patches) {
        for (const PhysicsContactPoint& point : patch.points) {
            if (events == PhysicsContactEvents::StartTouch) {
                playCollisionSound(pair, point);
            }
            if (!mainChar) {
                continue;
            }
            const float d = mainActor->getGlobalPosition().y - point.position.y;
            const float angle = groundAngle(d);
            if (angle < 0.0f || angle > kMaxGroundAngle) {
                continue;
            }
            if (events == PhysicsContactEvents::EndTouch) {
                leave(*mainChar, other);
            } else if (events == PhysicsContactEvents::StartTouch) {
                landOn(*mainChar, other);
            }
        }
    }
}

void ContactReport::playCollisionSound(const PhysicsContactPair& pair, const PhysicsContactPoint& point) {
    if (SoundManager* sounds = SoundManager::getInstance()) {
        sounds->playCollisionSound(objectOf(pair.actors[0]), objectOf(pair.actors[1]),
                                   {point.position.x, point.position.y, point.position.z}, point.normalForce);
    }
}

void ContactReport::landOn(MainChar& mainChar, PhysicsActor* ground) {
    lastGroundActor = ground;
    mainChar.onGround = true;
    CheckPoint* checkPoint = dynamic_cast<CheckPoint*>(objectOf(ground));
    mainChar.onCheckPoint = checkPoint != nullptr;
    if (!checkPoint) {
        return;
    }
    createSaveState(*checkPoint);
    if (!checkPoint->reached) {
        if (SoundManager* sounds = SoundManager::getInstance()) {
            sounds->playSound(checkPoint->checkpointSound);
        }
        checkPoint->reached = true;
    }
}

void ContactReport::leave(MainChar& mainChar, PhysicsActor* ground) {
    if (ground != lastGroundActor) {
        return;
    }
    mainChar.onGround = false;
    if (dynamic_cast<CheckPoint*>(objectOf(ground))) {
        mainChar.onCheckPoint = false;
    }
}

void ContactReport::createSaveState(CheckPoint& checkPoint) {
    if (SaveStateManager* saves = SaveStateManager::getInstance()) {
        saves->createSaveState(&checkPoint);
    }
}
