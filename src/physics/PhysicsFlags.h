#pragma once

#include <cstdint>

// Contact events of an actor pair; also the notification flags of an actor group pair.
namespace PhysicsContactEvents {
enum : std::uint32_t { StartTouch = 2, EndTouch = 4, Touch = 8 };
}

// Shape flags. The trigger bits double as the status handed to a trigger report.
namespace PhysicsShapeFlags {
enum : std::uint32_t {
    TriggerOnEnter = 1,
    TriggerOnLeave = 2,
    TriggerOnStay = 4,
    TriggerEnable = TriggerOnEnter | TriggerOnLeave | TriggerOnStay,
    // Contact points of this shape carry their normal force.
    PointContactForce = 128,
};
}

namespace PhysicsMaterialFlags {
enum : std::uint32_t { Anisotropic = 1 };
}

enum class PhysicsForceMode { Force = 0, Impulse = 1 };

enum class PhysicsActorFlag { DisableCollision };

enum class PhysicsBodyFlag { Kinematic };

enum class PhysicsShapeType { Sphere, Box, Convex, TriangleMesh };

// Which actors a ray cast considers: static ones have no body.
enum class PhysicsShapesType { Static = 1, Dynamic = 2, All = 3 };

enum class PhysicsSimulationType { Software, Hardware };

enum class PhysicsParameter { SkinWidth, MaxAngularVelocity };

// When two materials meet, the mode with the higher value wins.
enum class PhysicsCombineMode : std::uint32_t { Average = 0, Min = 1, Multiply = 2, Max = 3 };
