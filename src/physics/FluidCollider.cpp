#include "physics/FluidCollider.h"

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btConvexHullShape.h>
#include <BulletCollision/CollisionShapes/btConvexPolyhedron.h>
#include <BulletCollision/CollisionShapes/btScaledBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <BulletCollision/CollisionShapes/btTriangleCallback.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <algorithm>
#include <cmath>

#include "physics/BulletConversions.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsShape.h"

namespace {

// A particle never rests closer to a surface than this, so it always knows its side.
constexpr float kMinimumDistance = 1e-3f;
// Within this share of the collision distance a particle counts as on the grown
// surface, not inside it: rounding must not keep a resting particle stuck.
constexpr float kSurfaceBand = 0.5f;
// Slack of the inside test at triangle edges, so particles cannot slip between neighbours.
constexpr float kEdgeSlack = 1e-4f;

struct ActorCollector : btBroadphaseAabbCallback {
    bool process(const btBroadphaseProxy* proxy) override {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        const auto* actor = static_cast<const PhysicsActor*>(object->getUserPointer());
        if (actor && !actor->isCollisionDisabled()) {
            actors.push_back(actor);
        }
        return true;
    }
    std::vector<const PhysicsActor*> actors;
};

struct TriangleCollector : btTriangleCallback {
    void processTriangle(btVector3* triangle, int, int) override {
        corners.insert(corners.end(), {triangle[0], triangle[1], triangle[2]});
    }
    std::vector<btVector3> corners;
};

bool overlaps(const btVector3& minA, const btVector3& maxA, const btVector3& minB, const btVector3& maxB) {
    return minA.x() <= maxB.x() && maxA.x() >= minB.x() && minA.y() <= maxB.y() && maxA.y() >= minB.y() &&
           minA.z() <= maxB.z() && maxA.z() >= minB.z();
}

bool insideEdge(const btVector3& from, const btVector3& to, const btVector3& point, const btVector3& normal) {
    const btVector3 edge = to - from;
    return edge.cross(point - from).dot(normal) >= -kEdgeSlack * edge.length();
}

} // namespace

void FluidCollider::gather(btCollisionWorld& world, const btVector3& boxMin, const btVector3& boxMax,
                           float collisionDistance) {
    distance = std::max(collisionDistance, kMinimumDistance);
    triangles.clear();
    boxes.clear();
    spheres.clear();
    hulls.clear();
    const btVector3 grow(distance, distance, distance);
    ActorCollector collector;
    world.getBroadphase()->aabbTest(boxMin - grow, boxMax + grow, collector);
    for (const PhysicsActor* actor : collector.actors) {
        for (const PhysicsShape* shape : actor->getShapes()) {
            if (!shape->isTrigger()) {
                gatherShape(*shape, actor->getRigidBody(), boxMin - grow, boxMax + grow);
            }
        }
    }
}

void FluidCollider::gatherShape(const PhysicsShape& shape, const btRigidBody& body, const btVector3& boxMin,
                                const btVector3& boxMax) {
    const btTransform transform = body.getWorldTransform() * toBullet(shape.getLocalPose());
    const btCollisionShape& collisionShape = shape.getCollisionShape();
    const btVector3 grow(distance, distance, distance);
    Owner owner{&shape.getActor(), shape.getActor().isDynamic() ? &body : nullptr, {}, {}};
    collisionShape.getAabb(transform, owner.boundsMin, owner.boundsMax);
    owner.boundsMin -= grow;
    owner.boundsMax += grow;
    if (!overlaps(owner.boundsMin, owner.boundsMax, boxMin, boxMax)) {
        return;
    }
    switch (shape.getType()) {
    case PhysicsShapeType::Sphere:
        spheres.push_back({owner, transform.getOrigin(),
                           static_cast<const btSphereShape&>(collisionShape).getRadius() + distance});
        break;
    case PhysicsShapeType::Box:
        boxes.push_back({owner, transform,
                         static_cast<const btBoxShape&>(collisionShape).getHalfExtentsWithMargin() + grow});
        break;
    case PhysicsShapeType::Convex:
        gatherHull(shape, transform, owner);
        break;
    case PhysicsShapeType::TriangleMesh:
        gatherTriangles(shape, transform, owner, boxMin, boxMax);
        break;
    }
}

void FluidCollider::gatherTriangles(const PhysicsShape& shape, const btTransform& transform,
                                    const Owner& owner, const btVector3& boxMin, const btVector3& boxMax) {
    btVector3 localMin;
    btVector3 localMax;
    btTransformAabb(boxMin, boxMax, 0.0f, transform.inverse(), localMin, localMax);
    TriangleCollector collector;
    static_cast<const btScaledBvhTriangleMeshShape&>(shape.getCollisionShape())
        .processAllTriangles(&collector, localMin, localMax);
    const btVector3 grow(distance, distance, distance);
    for (std::size_t i = 0; i + 2 < collector.corners.size(); i += 3) {
        Triangle triangle{owner,
                          transform * collector.corners[i],
                          transform * collector.corners[i + 1],
                          transform * collector.corners[i + 2],
                          {}};
        const btVector3 normal = (triangle.b - triangle.a).cross(triangle.c - triangle.a);
        if (normal.length2() <= 0.0f) {
            continue;
        }
        triangle.normal = normal.normalized();
        triangle.owner.boundsMin = triangle.a;
        triangle.owner.boundsMax = triangle.a;
        for (const btVector3* corner : {&triangle.b, &triangle.c}) {
            triangle.owner.boundsMin.setMin(*corner);
            triangle.owner.boundsMax.setMax(*corner);
        }
        triangle.owner.boundsMin -= grow;
        triangle.owner.boundsMax += grow;
        triangles.push_back(triangle);
    }
}

void FluidCollider::gatherHull(const PhysicsShape& shape, const btTransform& transform, const Owner& owner) {
    // The hull's faces are worked out once, on the shape itself.
    auto& hullShape =
        const_cast<btConvexHullShape&>(static_cast<const btConvexHullShape&>(shape.getCollisionShape()));
    if (!hullShape.getConvexPolyhedron() && !hullShape.initializePolyhedralFeatures()) {
        return;
    }
    Hull hull{owner, {}};
    const float grow = hullShape.getMargin() + distance;
    for (int i = 0; i < hullShape.getConvexPolyhedron()->m_faces.size(); ++i) {
        const btScalar* plane = hullShape.getConvexPolyhedron()->m_faces[i].m_plane;
        const btVector3 normal = transform.getBasis() * btVector3(plane[0], plane[1], plane[2]);
        hull.planes.emplace_back(normal.x(), normal.y(), normal.z(),
                                 normal.dot(transform.getOrigin()) - plane[3] + grow);
    }
    hulls.push_back(std::move(hull));
}

bool FluidCollider::sweep(const btVector3& from, const btVector3& to, const PhysicsActor* passThrough,
                          Contact& contact) const {
    Move move{from, to, from, from};
    move.boundsMin.setMin(to);
    move.boundsMax.setMax(to);
    Contact best;
    best.fraction = 2.0f;
    Contact candidate;
    const auto keep = [&](const Owner& owner) {
        if (candidate.fraction < best.fraction) {
            best = candidate;
            finish(owner, best);
        }
    };
    for (const Triangle& triangle : triangles) {
        if (reaches(triangle.owner, move, passThrough) && hitTriangle(triangle, move, candidate)) {
            keep(triangle.owner);
        }
    }
    for (const Box& box : boxes) {
        if (reaches(box.owner, move, passThrough) && hitBox(box, move, kSurfaceBand * distance, candidate)) {
            keep(box.owner);
        }
    }
    for (const Sphere& sphere : spheres) {
        if (reaches(sphere.owner, move, passThrough) &&
            hitSphere(sphere, move, kSurfaceBand * distance, candidate)) {
            keep(sphere.owner);
        }
    }
    for (const Hull& hull : hulls) {
        if (reaches(hull.owner, move, passThrough) &&
            hitHull(hull, move, kSurfaceBand * distance, candidate)) {
            keep(hull.owner);
        }
    }
    if (best.fraction > 1.0f) {
        return false;
    }
    contact = best;
    return true;
}

bool FluidCollider::reaches(const Owner& owner, const Move& move, const PhysicsActor* passThrough) {
    return owner.actor != passThrough &&
           overlaps(owner.boundsMin, owner.boundsMax, move.boundsMin, move.boundsMax);
}

void FluidCollider::finish(const Owner& owner, Contact& contact) {
    contact.dynamic = owner.body != nullptr;
    contact.surfaceVelocity =
        owner.body
            ? owner.body->getVelocityInLocalPoint(contact.point - owner.body->getCenterOfMassPosition())
            : btVector3(0, 0, 0);
}

// Both faces collide: the particle meets the side it comes from.
bool FluidCollider::hitTriangle(const Triangle& triangle, const Move& move, Contact& contact) const {
    btVector3 normal = triangle.normal;
    float start = (move.from - triangle.a).dot(normal);
    float end = (move.to - triangle.a).dot(normal);
    if (start < 0.0f) {
        normal = -normal;
        start = -start;
        end = -end;
    }
    if (end >= start || end >= distance) {
        return false;
    }
    const float fraction = start <= distance ? 0.0f : (start - distance) / (start - end);
    const btVector3 reached = move.from + (move.to - move.from) * fraction;
    const btVector3 onPlane = reached - normal * (reached - triangle.a).dot(normal);
    if (!insideEdge(triangle.a, triangle.b, onPlane, triangle.normal) ||
        !insideEdge(triangle.b, triangle.c, onPlane, triangle.normal) ||
        !insideEdge(triangle.c, triangle.a, onPlane, triangle.normal)) {
        return false;
    }
    contact.fraction = fraction;
    contact.point = onPlane + normal * distance;
    contact.normal = normal;
    return true;
}

bool FluidCollider::hitBox(const Box& box, const Move& move, float band, Contact& contact) {
    const btVector3 from = box.transform.invXform(move.from);
    const btVector3 direction = box.transform.invXform(move.to) - from;
    const btVector3& half = box.halfExtents;
    float enter = 0.0f;
    float leave = 1.0f;
    int axis = -1;
    for (int i = 0; i < 3; ++i) {
        if (std::abs(direction[i]) < 1e-12f) {
            if (std::abs(from[i]) > half[i]) {
                return false;
            }
            continue;
        }
        float near = (-half[i] - from[i]) / direction[i];
        float far = (half[i] - from[i]) / direction[i];
        if (near > far) {
            std::swap(near, far);
        }
        if (near > enter) {
            enter = near;
            axis = i;
        }
        leave = std::min(leave, far);
        if (enter > leave) {
            return false;
        }
    }
    btVector3 point = from + direction * enter;
    if (axis < 0) {
        // Starts inside or on the surface: out through the nearest face, unless already leaving by it.
        const btVector3 depth = half - from.absolute();
        axis = depth.minAxis();
        const float outward = from[axis] >= 0.0f ? 1.0f : -1.0f;
        if (depth[axis] <= band && direction[axis] * outward >= 0.0f) {
            return false;
        }
        point[axis] = outward * half[axis];
    }
    btVector3 normal(0, 0, 0);
    normal[axis] = point[axis] >= 0.0f ? 1.0f : -1.0f;
    contact.fraction = enter;
    contact.point = box.transform * point;
    contact.normal = box.transform.getBasis() * normal;
    return true;
}

bool FluidCollider::hitSphere(const Sphere& sphere, const Move& move, float band, Contact& contact) {
    const btVector3 offset = move.from - sphere.centre;
    const btVector3 direction = move.to - move.from;
    const float b = offset.dot(direction);
    const float distanceToCentre = offset.length();
    if (distanceToCentre <= sphere.radius) {
        // Inside or on the surface: out along the radius, unless already leaving.
        if (distanceToCentre >= sphere.radius - band && b >= 0.0f) {
            return false;
        }
        contact.normal = distanceToCentre > 0.0f ? offset / distanceToCentre : btVector3(0, 1, 0);
        contact.fraction = 0.0f;
        contact.point = sphere.centre + contact.normal * sphere.radius;
        return true;
    }
    const float a = direction.length2();
    const float discriminant = b * b - a * (offset.length2() - sphere.radius * sphere.radius);
    if (b >= 0.0f || discriminant < 0.0f) {
        return false;
    }
    const float fraction = (-b - std::sqrt(discriminant)) / a;
    if (fraction > 1.0f) {
        return false;
    }
    contact.fraction = std::max(0.0f, fraction);
    contact.point = move.from + direction * contact.fraction;
    contact.normal = (contact.point - sphere.centre).normalized();
    return true;
}

bool FluidCollider::hitHull(const Hull& hull, const Move& move, float band, Contact& contact) {
    const btVector3 direction = move.to - move.from;
    float enter = 0.0f;
    float leave = 1.0f;
    int entering = -1;
    int shallowest = 0;
    float shallowestDepth = -INFINITY;
    for (int i = 0; i < static_cast<int>(hull.planes.size()); ++i) {
        const btVector4& plane = hull.planes[i];
        const btVector3 normal(plane.x(), plane.y(), plane.z());
        const float outside = normal.dot(move.from) - plane.w();
        const float approach = normal.dot(direction);
        if (outside > shallowestDepth) {
            shallowestDepth = outside;
            shallowest = i;
        }
        if (std::abs(approach) < 1e-12f) {
            if (outside > 0.0f) {
                return false;
            }
            continue;
        }
        const float crossing = -outside / approach;
        if (approach < 0.0f) {
            if (crossing > enter) {
                enter = crossing;
                entering = i;
            }
        } else {
            leave = std::min(leave, crossing);
        }
        if (enter > leave) {
            return false;
        }
    }
    const int face = entering >= 0 ? entering : shallowest;
    const btVector4& plane = hull.planes[face];
    contact.normal = btVector3(plane.x(), plane.y(), plane.z());
    contact.fraction = enter;
    contact.point = move.from + direction * enter;
    if (entering < 0) {
        // Starts inside or on the surface: out through the nearest face, unless already leaving by it.
        if (shallowestDepth >= -band && contact.normal.dot(direction) >= 0.0f) {
            return false;
        }
        contact.point -= contact.normal * shallowestDepth;
    }
    return true;
}
