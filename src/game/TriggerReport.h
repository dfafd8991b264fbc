#pragma once

#include <functional>

#include "physics/PhysicsTriggerReport.h"

class Item;
class MainChar;

// The game's side of trigger volumes: the main character (shape group 1)
// entering one collects an item, or ends the game in fog, or completes the level
// at the finish. Leaving and staying do nothing, and so does everything once play
// has ended (the fog and an item in one step). A trigger actor's user data is its OgreModel.
class TriggerReport : public PhysicsTriggerReport {
public:
    void onTrigger(PhysicsShape& triggerShape, PhysicsShape& otherShape, std::uint32_t status) override;

    // Told of every item collected, after the ball has its value.
    std::function<void()> onPickup;

private:
    void collect(Item& item, MainChar* mainChar) const;
};
