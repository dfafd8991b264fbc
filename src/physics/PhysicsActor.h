#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "physics/PhysicsActorDesc.h"
#include "physics/PhysicsFlags.h"
#include "physics/PhysicsMath.h"
#include "physics/PhysicsShape.h"

class PhysicsScene;
class btCompoundShape;
class btDiscreteDynamicsWorld;
class btRigidBody;

// A static or moving rigid body made of shapes. Every call that changes the
// motion of a body wakes it. Forces added with PhysicsForceMode::Force act
// during the next step; impulses change the velocity at once.
class PhysicsActor {
public:
    struct Context {
        PhysicsScene& scene;
        btDiscreteDynamicsWorld& world;
        float skinWidth;
        float defaultMaxAngularVelocity;
        std::uint64_t id;
    };

    // Null when refused: no shapes, an unusable shape, a triangle mesh on a
    // body, a body with neither or both of mass and density.
    static std::unique_ptr<PhysicsActor> create(const Context& context, const PhysicsActorDesc& desc);
    ~PhysicsActor();
    PhysicsActor(const PhysicsActor&) = delete;
    PhysicsActor& operator=(const PhysicsActor&) = delete;

    PhysicsScene& getScene() const { return scene; }
    void setUserData(void* data) { userData = data; }
    void* getUserData() const { return userData; }

    void setGlobalPosition(const PhysicsVec3& position);
    PhysicsVec3 getGlobalPosition() const;
    void setGlobalOrientationQuat(const PhysicsQuat& orientation);
    PhysicsQuat getGlobalOrientationQuat() const;
    void setGlobalPose(const PhysicsPose& pose);
    PhysicsPose getGlobalPose() const;
    // A kinematic body glides there during the next step, so what rests on it is carried along;
    // any other actor is put there at once.
    void moveGlobalPosition(const PhysicsVec3& position);

    // The actor group picks the contact notifications of the scene's group pairs.
    void setGroup(std::uint16_t newGroup) { group = newGroup; }
    std::uint16_t getGroup() const { return group; }
    const std::vector<PhysicsShape*>& getShapes() const { return shapeView; }

    bool isDynamic() const { return dynamic; }
    float getMass() const { return dynamic ? mass : 0.0f; }

    void setLinearDamping(float damping) { linearDamping = damping; }
    float getLinearDamping() const { return linearDamping; }
    void setAngularDamping(float damping) { angularDamping = damping; }
    float getAngularDamping() const { return angularDamping; }

    void setLinearVelocity(const PhysicsVec3& velocity);
    PhysicsVec3 getLinearVelocity() const;
    void setAngularVelocity(const PhysicsVec3& velocity);
    PhysicsVec3 getAngularVelocity() const;
    void setLinearMomentum(const PhysicsVec3& momentum);
    PhysicsVec3 getLinearMomentum() const;
    void setAngularMomentum(const PhysicsVec3& momentum);
    PhysicsVec3 getAngularMomentum() const;

    // Enforced after every internal step; 0 stops all rotation.
    void setMaxAngularVelocity(float maximum);
    float getMaxAngularVelocity() const { return maxAngularVelocity; }

    void addForce(const PhysicsVec3& force, PhysicsForceMode mode = PhysicsForceMode::Force);
    void addTorque(const PhysicsVec3& torque, PhysicsForceMode mode = PhysicsForceMode::Force);

    void raiseActorFlag(PhysicsActorFlag flag) { setActorFlag(flag, true); }
    void clearActorFlag(PhysicsActorFlag flag) { setActorFlag(flag, false); }
    bool readActorFlag(PhysicsActorFlag) const { return collisionDisabled; }
    void raiseBodyFlag(PhysicsBodyFlag flag) { setBodyFlag(flag, true); }
    void clearBodyFlag(PhysicsBodyFlag flag) { setBodyFlag(flag, false); }
    bool readBodyFlag(PhysicsBodyFlag) const { return kinematic; }

    // Engine side.
    std::uint64_t getId() const { return id; }
    btRigidBody& getRigidBody() const { return *body; }
    // The shape of an engine child index; the first shape for anything else.
    PhysicsShape& shapeAt(int index) const;
    bool isMovable() const { return dynamic && !kinematic; }
    bool isCollisionDisabled() const { return collisionDisabled; }
    bool hasOnlyTriggers() const;
    // Re-filters the actor's collision pairs after a group, flag or trigger change.
    void refreshCollisionFilter();
    // Before each internal step of a step: how much of the step's glide is done after it.
    void advanceGlide(float fraction);
    void beginSubstep(float dt);
    void endSubstep() { clampAngularVelocity(); }
    void endStep();

private:
    PhysicsActor(const Context& context, const PhysicsActorDesc& desc,
                 std::vector<std::unique_ptr<btCollisionShape>> collisionShapes, float bodyMass);

    btCollisionShape& buildRootShape();
    void createBody(const PhysicsActorDesc& desc);
    void applyBodyDesc(const PhysicsBodyDesc& bodyDesc);
    void enableContinuousCollision();
    void teleport(const PhysicsPose& pose);
    void setActorFlag(PhysicsActorFlag flag, bool value);
    void setBodyFlag(PhysicsBodyFlag flag, bool value);
    void clampAngularVelocity();
    void wake();
    void wakeTouchingBodies();

    PhysicsScene& scene;
    btDiscreteDynamicsWorld& world;
    const std::uint64_t id;
    const bool dynamic;
    const float mass;
    std::vector<std::unique_ptr<PhysicsShape>> shapes;
    std::vector<PhysicsShape*> shapeView;
    std::unique_ptr<btCompoundShape> compound;
    std::unique_ptr<btRigidBody> body;
    void* userData = nullptr;
    std::uint16_t group = 0;
    float linearDamping = 0.0f;
    float angularDamping = 0.0f;
    float maxAngularVelocity;
    bool kinematic = false;
    bool collisionDisabled = false;
    std::optional<PhysicsVec3> glideFrom;
    PhysicsVec3 glideTo;
    PhysicsVec3 pendingForce;
    PhysicsVec3 pendingTorque;
};
