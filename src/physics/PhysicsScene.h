#pragma once

#include <cfloat>
#include <cstdint>
#include <memory>
#include <vector>

#include "physics/CollisionPairFilter.h"
#include "physics/ContactTracker.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsContactReport.h"
#include "physics/PhysicsFluid.h"
#include "physics/PhysicsForceField.h"
#include "physics/PhysicsMaterial.h"
#include "physics/PhysicsRaycastHit.h"
#include "physics/PhysicsSceneDesc.h"
#include "physics/PhysicsTriggerReport.h"
#include "physics/TriggerTracker.h"

class btBroadphaseInterface;
class btCollisionConfiguration;
class btCollisionDispatcher;
class btConstraintSolver;
class btDiscreteDynamicsWorld;
class btDynamicsWorld;

// One simulated world. A step is simulate(), flushStream(), fetchResults():
// the step runs in fixed internal steps inside fetchResults, which then hands
// the step's contact and trigger events to the reports on the calling thread.
// Fluids move in the same internal steps, after the rigid bodies. Between
// simulate and fetchResults the scene still shows the last step.
class PhysicsScene {
public:
    PhysicsScene(const PhysicsSceneDesc& desc, float skinWidth, float defaultMaxAngularVelocity);
    ~PhysicsScene();
    PhysicsScene(const PhysicsScene&) = delete;
    PhysicsScene& operator=(const PhysicsScene&) = delete;

    void setUserContactReport(PhysicsContactReport* report) { contactReport = report; }
    void setUserTriggerReport(PhysicsTriggerReport* report) { triggerReport = report; }

    // Which contact events the actors of two actor groups report (PhysicsContactEvents).
    void setActorGroupPairFlags(std::uint16_t group1, std::uint16_t group2, std::uint32_t flags);
    std::uint32_t getActorGroupPairFlags(std::uint16_t group1, std::uint16_t group2) const;
    // Whether shapes of two shape groups (0..31) meet; all do at first.
    void setGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2, bool enable);
    bool getGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2) const;

    // Null when the descriptor is refused.
    PhysicsActor* createActor(const PhysicsActorDesc& desc);
    void releaseActor(PhysicsActor& actor);
    std::size_t getNbActors() const { return actors.size(); }

    // Null for an invalid descriptor. Index 0 is the default material.
    PhysicsMaterial* createMaterial(const PhysicsMaterialDesc& desc);
    PhysicsMaterial* getMaterialFromIndex(std::uint16_t index) const;
    // A shape's material; unknown indices use the default material.
    const PhysicsMaterial& materialOf(const PhysicsShape& shape) const;

    // Null for an invalid descriptor or one that asks for hardware.
    PhysicsFluid* createFluid(const PhysicsFluidDesc& desc);
    void releaseFluid(PhysicsFluid& fluid);
    std::size_t getNbFluids() const { return fluids.size(); }
    // Each force field gets a force field material of its own (from 1), which
    // fluids take to be pushed by it. Null for an invalid descriptor.
    PhysicsForceField* createForceField(const PhysicsForceFieldDesc& desc);
    void releaseForceField(PhysicsForceField& field);
    std::size_t getNbForceFields() const { return forceFields.size(); }

    // Expires when the scene is destroyed, so holders of its objects can tell
    // whether there is still a scene to release them from.
    std::weak_ptr<const void> getLifetime() const { return lifetime; }

    void setGravity(const PhysicsVec3& gravity);
    PhysicsVec3 getGravity() const;

    void simulate(float elapsedTime);
    // Commands reach the engine at once; kept for the step protocol.
    void flushStream() {}
    // Runs the pending step and delivers its events; false when none was pending.
    bool fetchResults();
    // Forgets the pending step: nothing moves and no event is delivered.
    void dropStep();
    bool isSimulating() const { return simulating; }
    // Makes the world what it was when it was built, but for where its actors are: a new
    // broadphase with every body in its old order, no contacts or overlaps remembered, the
    // solver's own random numbers from their start and no step pending. A level played
    // again then runs as it did the first time.
    void rebuildCaches();

    // The closest shape hit by the ray (its direction need not be unit length).
    PhysicsShape* raycastClosestShape(const PhysicsRay& ray, PhysicsShapesType shapesType,
                                      PhysicsRaycastHit& hit, std::uint32_t groups = 0xFFFFFFFFu,
                                      float maxDist = FLT_MAX) const;

private:
    static void onPreTick(btDynamicsWorld* world, float dt);
    static void onPostTick(btDynamicsWorld* world, float dt);
    void beginSubstep(float dt);
    void endSubstep(float dt);
    void observeManifolds(float dt);
    void stepFluids(float dt);
    int takeDueSubsteps();
    void deliver(float stepTime);
    float worldReach(const btVector3& from) const;
    void refreshAllCollisionFilters();

    const PhysicsSceneDesc desc;
    const float skinWidth;
    const float defaultMaxAngularVelocity;
    CollisionPairFilter pairFilter;
    std::unique_ptr<btCollisionConfiguration> configuration;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btConstraintSolver> solver;
    std::unique_ptr<btDiscreteDynamicsWorld> world;
    ContactTracker contacts;
    TriggerTracker triggers;
    std::vector<std::unique_ptr<PhysicsMaterial>> materials;
    std::vector<std::unique_ptr<PhysicsActor>> actors;
    std::vector<std::unique_ptr<PhysicsFluid>> fluids;
    std::vector<std::unique_ptr<PhysicsForceField>> forceFields;
    std::vector<const PhysicsForceField*> coupledFields;
    std::uint16_t nextForceFieldMaterial = 1;
    std::shared_ptr<const void> lifetime = std::make_shared<int>(0);
    PhysicsContactReport* contactReport = nullptr;
    PhysicsTriggerReport* triggerReport = nullptr;
    std::uint64_t nextActorId = 0;
    double pendingTime = 0.0;
    bool simulating = false;
};
