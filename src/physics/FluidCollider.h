#pragma once

#include <LinearMath/btTransform.h>
#include <vector>

class PhysicsActor;
class PhysicsShape;
class btCollisionWorld;
class btRigidBody;

// The shapes near a fluid, gathered once per internal step, and the earliest
// contact of a particle's straight move with them. Every shape is grown by the
// collision distance, so a stopped particle keeps that distance from the surface.
// Trigger shapes and actors with collision disabled are never met.
class FluidCollider {
public:
    struct Contact {
        float fraction = 1.0f; // of the move
        btVector3 point;       // where the particle stops
        btVector3 normal;      // away from the surface, towards the particle
        btVector3 surfaceVelocity;
        bool dynamic = false;
    };

    // Shapes whose bounds meet the box [boxMin, boxMax].
    void gather(btCollisionWorld& world, const btVector3& boxMin, const btVector3& boxMax,
                float collisionDistance);
    bool empty() const { return triangles.empty() && boxes.empty() && spheres.empty() && hulls.empty(); }

    // The earliest contact of the move from `from` to `to`, ignoring the shapes of
    // `passThrough`. A particle that starts inside a solid shape is pushed out at fraction 0.
    bool sweep(const btVector3& from, const btVector3& to, const PhysicsActor* passThrough,
               Contact& contact) const;

private:
    struct Owner {
        const PhysicsActor* actor;
        const btRigidBody* body; // null for static actors
        btVector3 boundsMin;
        btVector3 boundsMax;
    };
    struct Triangle {
        Owner owner;
        btVector3 a, b, c;
        btVector3 normal;
    };
    struct Box {
        Owner owner;
        btTransform transform;
        btVector3 halfExtents; // grown
    };
    struct Sphere {
        Owner owner;
        btVector3 centre;
        float radius; // grown
    };
    struct Hull {
        Owner owner;
        std::vector<btVector4> planes; // outward normal and offset: inside where n.x < w
    };
    struct Move {
        btVector3 from;
        btVector3 to;
        btVector3 boundsMin;
        btVector3 boundsMax;
    };

    void gatherShape(const PhysicsShape& shape, const btRigidBody& body, const btVector3& boxMin,
                     const btVector3& boxMax);
    void gatherTriangles(const PhysicsShape& shape, const btTransform& transform, const Owner& owner,
                         const btVector3& boxMin, const btVector3& boxMax);
    void gatherHull(const PhysicsShape& shape, const btTransform& transform, const Owner& owner);

    bool hitTriangle(const Triangle& triangle, const Move& move, Contact& contact) const;
    // `band`: how deep a start still counts as on the surface rather than inside.
    static bool hitBox(const Box& box, const Move& move, float band, Contact& contact);
    static bool hitSphere(const Sphere& sphere, const Move& move, float band, Contact& contact);
    static bool hitHull(const Hull& hull, const Move& move, float band, Contact& contact);
    static bool reaches(const Owner& owner, const Move& move, const PhysicsActor* passThrough);
    static void finish(const Owner& owner, Contact& contact);

    float distance = 0.0f;
    std::vector<Triangle> triangles;
    std::vector<Box> boxes;
    std::vector<Sphere> spheres;
    std::vector<Hull> hulls;
};
