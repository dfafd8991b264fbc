#pragma once

class btCollisionObjectWrapper;
class btManifoldPoint;

// The engine's hook for every new contact point: it smooths contacts on the
// inner edges of triangle meshes, combines the two shapes' materials and
// records which shapes of the two actors touch.
class ContactMaterialMixer {
public:
    static void install();

private:
    static bool onContactAdded(btManifoldPoint& point, const btCollisionObjectWrapper* wrap0, int part0,
                               int index0, const btCollisionObjectWrapper* wrap1, int part1, int index1);
};
