#include "FireFixture.h"

#include "render/LightManager.h"

const char* const FireTest::kConfiguration = R"([fluidA]
texture = ../textures/fire*.png
restParticlesPerMeter = 10
kernelRadiusMultiplier = 2.0
motionLimitMultiplier = 3.0
packetSizeMultiplier = 8
collisionDistanceMultiplier = 0.1
stiffness = 50
viscosity = 40
restDensity = 1000
damping = 0.5
gravity = false
restitutionForStaticShapes = 0.3
dynamicFrictionForStaticShapes = 0.05
restitutionForDynamicShapes = 0.3
dynamicFrictionForDynamicShapes = 0.5
particleInteraction = false
maxParticles = 300
maxExternalAccelerationX = 0.5
maxExternalAccelerationY = 6
maxExternalAccelerationZ = 0
minExternalAccelerationX = 0
minExternalAccelerationY = 1.5
minExternalAccelerationZ = 0

[emitterA]
dimensionX = 0.6
dimensionY = 0.4
minRate = 60
maxRate = 160
randomAngle = 0.5
maxFluidVelocityMagnitude = 2.0
minfluidVelocityMagnitude = 0.5
repulsionCoefficient = 0.02
maxParticleLifetime = 1.0
minParticleLifetime = 0.3
maxParticles = 200
burst = true
minSize = 0.15
maxSize = 0.6

[fluidB]
gravity = false
particleInteraction = false
maxParticles = 100

[emitterB]
minRate = 30
maxFluidVelocityMagnitude = 1.0
maxParticleLifetime = 0.5

[forceField]
offset = 1.0
group = 3
)";

void FireTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    writeConfiguration(kConfiguration);
    scene = sdk.createScene(PhysicsSceneDesc{});
    PhysicsShapeDesc sphere;
    sphere.type = PhysicsShapeType::Sphere;
    PhysicsActorDesc actor;
    actor.shapes.push_back(sphere);
    actor.globalPose.position = {1.0f, 2.0f, 3.0f};
    ball = scene->createActor(actor);
}

void FireTest::TearDown() {
    LightManager::destroy();
    GlTest::TearDown();
}

void FireTest::writeConfiguration(const std::string& text) {
    data->write("Vorn.ini", text);
}

void FireTest::step(int count) {
    for (int i = 0; i < count; ++i) {
        scene->simulate(1.0f / 60.0f);
        scene->flushStream();
        scene->fetchResults();
    }
}
