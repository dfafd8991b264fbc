#pragma once

#include "physics/PhysicsContactReport.h"

class CheckPoint;
class MainChar;
class OgreModel;

// The game's side of the contacts of a step: collision sounds for every first
// touch, and for the main character (actor group 1) whether it stands on ground,
// on which ground, and landings on checkpoints. An actor's user data is its OgreModel.
class ContactReport : public PhysicsContactReport {
public:
    void onContactNotify(PhysicsContactPair& pair, std::uint32_t events) override;

    // A contact point counts as ground when the offset from it to the ball's
    // centre leans at most this far from the vertical.
    static constexpr float kMaxGroundAngle = 45.0f;
    // The angle in degrees for a height difference d between centre and point
    // (acos of d); negative when the point does not count at all.
    static float groundAngle(float d);

private:
    static void playCollisionSound(const PhysicsContactPair& pair, const PhysicsContactPoint& point);
    void landOn(MainChar& mainChar, PhysicsActor* ground);
    void leave(MainChar& mainChar, PhysicsActor* ground);
    // The save-state manager takes its snapshot of the level here.
    static void createSaveState(CheckPoint& checkPoint);

    // The ground the main character touched last; only compared, never dereferenced.
    PhysicsActor* lastGroundActor = nullptr;
};
