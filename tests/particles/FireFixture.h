#pragma once

#include <string>

#include "GlTest.h"
#include "physics/PhysicsSDK.h"

// A physics scene without gravity holding a static ball, and a data root whose
// main configuration has the fire sections below; an OpenGL window is open.
//   fluidA / emitterA: every key set, burst on.  fluidB / emitterB: only a few.
//   forceField: offset 1, group 3.
class FireTest : public GlTest {
public:
    static const char* const kConfiguration;

protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the main configuration; before anything has read it.
    void writeConfiguration(const std::string& text);
    // simulate, flushStream and fetchResults of 1/60 s each.
    void step(int count = 1);

    PhysicsSDK sdk;
    PhysicsScene* scene = nullptr;
    PhysicsActor* ball = nullptr;
};
