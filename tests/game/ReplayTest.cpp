#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <GL/glew.h>
#include <GL/glu.h>

#include "FrameCapture.h"
#include "GameFixture.h"
#include "GlStateSnapshot.h"
#include "GlTest.h"
#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "game/Ghost.h"
#include "game/MainChar.h"
#include "game/Replay.h"
#include "game/ReplayLibrary.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayRecorder.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsScene.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"

namespace fs = std::filesystem;

namespace {

ReplayHeader headerOf(const std::string& level, std::int64_t when, const std::string& hash = "ABC") {
    return {"0.1.0", "../levels/" + level + "/" + level + ".scene", "Level " + level, hash, 1234u, when};
}

// A run of `steps` steps: a respawn after the 70th, then a finish when asked.
std::string runBytes(const ReplayHeader& header, int steps, bool finished) {
    std::string bytes = ReplayFormat::header(header);
    for (int step = 1; step <= steps; ++step) {
        ReplayFormat::appendStep(bytes,
                                 {static_cast<std::uint16_t>(step % 1024), static_cast<float>(step) * 0.5f});
        if (step % ReplayFormat::kPathEvery == 0) {
            ReplayFormat::appendPath(bytes, {static_cast<float>(step), 1.0f, -2.0f});
        }
        if (step % ReplayFormat::kChecksEvery == 0) {
            ReplayFormat::appendCheck(bytes, {static_cast<float>(step), 1.0f, -2.0f}, {0.5f, 0.0f, 0.25f});
        }
        if (step == 70) {
            ReplayFormat::appendRespawn(bytes, ReplayRespawn::FromGameOver);
        }
    }
    if (finished) {
        ReplayFormat::appendFinish(bytes, static_cast<std::uint32_t>(steps));
    }
    return bytes;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(ReplayFormatTest, ARunReadsBackAsItWasWritten) {
    const ReplayHeader header = headerOf("level1", 1800000000);
    const ReplayFormat::Parsed parsed = ReplayFormat::parse(runBytes(header, 130, true));
    ASSERT_TRUE(parsed.replay);
    const Replay& run = *parsed.replay;
    EXPECT_EQ(run.header.gameVersion, "0.1.0");
    EXPECT_EQ(run.header.levelFile, header.levelFile);
    EXPECT_EQ(run.header.levelName, "Level level1");
    EXPECT_EQ(run.header.levelHash, "ABC");
    EXPECT_EQ(run.header.seed, 1234u);
    EXPECT_EQ(run.header.recordedAt, 1800000000);
    ASSERT_EQ(run.steps.size(), 130u);
    EXPECT_EQ(run.steps[99].controls, 100);
    EXPECT_EQ(run.steps[99].heading, 50.0f);
    ASSERT_EQ(run.respawns.size(), 1u);
    EXPECT_EQ(run.respawns[0].step, 70u);
    ASSERT_EQ(run.checks.size(), 2u);
    EXPECT_EQ(run.checks[1].step, 120u);
    EXPECT_EQ(run.checks[1].position.x, 120.0f);
    EXPECT_EQ(run.checks[1].velocity.z, 0.25f);
    ASSERT_EQ(run.path.size(), 32u);
    EXPECT_EQ(run.path[0].step, 4u);
    EXPECT_EQ(run.finishStep, 130u);

    // Every control keeps its own bit, and no other bit stands for one.
    for (int bit = 0; bit < 10; ++bit) {
        HeldControls one;
        ASSERT_TRUE(ReplayFormat::unpackControls(static_cast<std::uint16_t>(1u << bit), one));
        EXPECT_EQ(ReplayFormat::packControls(one), 1u << bit);
    }
    HeldControls unused;
    EXPECT_FALSE(ReplayFormat::unpackControls(1u << 10, unused));
}

// A gamepad's stick is kept with its step; a step without it is written as version 1 wrote it,
// and a version 1 file still plays.
TEST(ReplayFormatTest, TheStickOfAGamepadIsKeptWithItsStep) {
    HeldControls pushed;
    pushed.jump = true;
    pushed.stickForward = 0.75f;
    pushed.stickRight = -0.5f;
    const std::string header = ReplayFormat::header(headerOf("level1", 1));
    std::string bytes = header;
    ReplayFormat::appendStep(bytes, ReplayFormat::stepOf(pushed, 90.0f));
    ReplayFormat::appendStep(bytes, ReplayFormat::stepOf(HeldControls{}, 45.0f));
    EXPECT_EQ(bytes.size(), header.size() + 15 + 7);
    const ReplayFormat::Parsed parsed = ReplayFormat::parse(bytes);
    ASSERT_TRUE(parsed.replay);
    ASSERT_EQ(parsed.replay->steps.size(), 2u);
    HeldControls replayed;
    ReplayFormat::unpackStep(parsed.replay->steps[0], replayed);
    EXPECT_TRUE(replayed.jump);
    EXPECT_EQ(replayed.stickForward, 0.75f);
    EXPECT_EQ(replayed.stickRight, -0.5f);
    ReplayFormat::unpackStep(parsed.replay->steps[1], replayed);
    EXPECT_EQ(replayed.stickForward, 0.0f);

    std::string versionOne = bytes.substr(0, header.size()) + bytes.substr(header.size() + 15);
    versionOne[10] = 1;
    ASSERT_TRUE(ReplayFormat::parse(versionOne).replay);
    EXPECT_EQ(ReplayFormat::parse(versionOne).replay->steps.size(), 1u);
    EXPECT_EQ(ReplayFormat::parse(bytes.substr(0, header.size() + 10)).replay->steps.size(), 0u) << "a cut";
    pushed.stickRight = 1.5f;
    std::string tooFar = header;
    ReplayFormat::appendStep(tooFar, ReplayFormat::stepOf(pushed, 0.0f));
    EXPECT_EQ(ReplayFormat::parse(tooFar).problem, ReplayFormat::Problem::Damaged);
}

// A run cut anywhere in its records plays up to the last whole one; a cut inside the header
// leaves nothing to play.
TEST(ReplayFormatTest, ACutFileReadsUpToItsLastWholeRecord) {
    const std::string header = ReplayFormat::header(headerOf("level1", 1));
    const std::string bytes = runBytes(headerOf("level1", 1), 130, true);
    std::size_t lastSteps = 0;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const ReplayFormat::Parsed parsed = ReplayFormat::parse(std::string_view(bytes).substr(0, size));
        if (size < header.size()) {
            EXPECT_EQ(parsed.problem, ReplayFormat::Problem::Damaged) << size;
            continue;
        }
        ASSERT_TRUE(parsed.replay) << size;
        EXPECT_FALSE(parsed.replay->finished()) << size;
        EXPECT_GE(parsed.replay->steps.size(), lastSteps) << size;
        lastSteps = parsed.replay->steps.size();
    }
    EXPECT_EQ(lastSteps, 130u);
}

TEST(ReplayFormatTest, DamageAnotherVersionAndAChangedLevelAreToldApart) {
    const std::string good = runBytes(headerOf("level1", 1), 10, true);
    const auto refusal = [](const std::string& bytes, const std::string& version = "0.1.0",
                            const std::string& hash = "ABC") {
        return ReplayLibrary::check(ReplayFormat::parse(bytes), version, hash);
    };
    EXPECT_EQ(refusal(good), ReplayLibrary::Refusal::None);

    std::string otherFormat = good;
    otherFormat[10] = 3; // the format version after the magic
    EXPECT_EQ(refusal(otherFormat), ReplayLibrary::Refusal::OtherVersion);
    EXPECT_EQ(refusal(good, "0.2.0"), ReplayLibrary::Refusal::OtherVersion);
    EXPECT_EQ(refusal(good, "0.1.0", "DEF"), ReplayLibrary::Refusal::ChangedLevel);
    EXPECT_EQ(refusal(good, "0.1.0", ""), ReplayLibrary::Refusal::ChangedLevel) << "the level is gone";

    const std::string header = ReplayFormat::header(headerOf("level1", 1));
    std::string nan = header;
    ReplayFormat::appendStep(nan, {0, std::nanf("")});
    std::string afterFinish = good;
    ReplayFormat::appendStep(afterFinish, {0, 0.0f});
    std::string wrongFinish = header;
    ReplayFormat::appendFinish(wrongFinish, 3);
    std::string badRespawn = header + "R\x07";
    for (const std::string& damaged :
         {std::string("VORNREPLAX") + good.substr(10), header + "Z", nan, afterFinish, wrongFinish,
          badRespawn, header + std::string("S\xFF\xFF\0\0\0\0", 7)}) {
        EXPECT_EQ(refusal(damaged), ReplayLibrary::Refusal::Damaged) << damaged.size();
    }
    EXPECT_STREQ(ReplayLibrary::message(ReplayLibrary::Refusal::ChangedLevel), ReplayLibrary::kChangedLevel);
}

TEST(ReplayLibraryTest, TheLevelHashFollowsTheFilesThatShapePlayOnly) {
    TempDataRoot data;
    data.write("levels/one/one.scene", "<scene/>");
    data.write("levels/one/one.material", "material");
    data.write("levels/one/models/box.mesh.xml", "<mesh/>");
    data.write("levels/one/textures/box.png", "png");
    data.write("objectproperties.ini", "[box]");
    const std::string level = "../levels/one/one.scene";
    const std::vector<std::string> shared{"../objectproperties.ini"};
    const std::string first = ReplayLibrary::levelHash(level, shared);
    EXPECT_EQ(first.size(), 40u);
    data.write("levels/one/textures/box.png", "another picture");
    data.write("levels/one/models/box.mesh.vorm", "a cache");
    EXPECT_EQ(ReplayLibrary::levelHash(level, shared), first);
    for (const char* changed :
         {"levels/one/models/box.mesh.xml", "levels/one/one.scene", "objectproperties.ini"}) {
        const std::string before = data.read(changed);
        data.write(changed, before + " ");
        EXPECT_NE(ReplayLibrary::levelHash(level, shared), first) << changed;
        data.write(changed, before);
    }
    EXPECT_EQ(ReplayLibrary::levelHash(level, shared), first);
    EXPECT_EQ(ReplayLibrary::levelHash("../levels/two/two.scene", shared), "");
}

// Per level and files the finished run of fewest steps stays whatever its age; of the other
// runs the newest `keep` stay. A damaged file is set aside, not listed.
TEST(ReplayLibraryTest, TheBestFinishedRunOfEachLevelStaysAndOfTheOthersTheNewest) {
    TempDataRoot data;
    const fs::path folder = ReplayLibrary::folder();
    const auto add = [&](const ReplayHeader& header, int steps, bool finished) {
        const fs::path path = ReplayLibrary::newPath(folder, header.levelFile, header.recordedAt);
        writeFile(path, runBytes(header, steps, finished));
        return path;
    };
    const fs::path oldBest = add(headerOf("one", 100), 300, true);
    const fs::path slower = add(headerOf("one", 200), 400, true);
    const fs::path tie = add(headerOf("one", 250), 300, true);
    const fs::path cut = add(headerOf("one", 300), 100, false);
    const fs::path otherFiles = add(headerOf("one", 310, "DEF"), 500, true);
    const fs::path newest = add(headerOf("two", 400), 50, false);
    writeFile(folder / "broken.vreplay", "VORNREPLAY\x01");
    EXPECT_NE(oldBest, ReplayLibrary::newPath(folder, "../levels/one/one.scene", 100))
        << "a new name each time";

    const std::vector<ReplayLibrary::Entry> entries = ReplayLibrary::list(folder);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries.front().path, newest);
    EXPECT_TRUE(fs::exists(folder / "broken.vreplay.bad"));
    const auto best = ReplayLibrary::best(entries, "../levels/one/one.scene", "ABC");
    ASSERT_TRUE(best);
    EXPECT_EQ(best->path, oldBest) << "the earlier of two equal runs";
    EXPECT_FALSE(ReplayLibrary::best(entries, "../levels/two/two.scene", "ABC")) << "none finished";

    ReplayLibrary::prune(folder, 1, cut);
    for (const fs::path& kept : {oldBest, otherFiles, newest, cut}) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
    for (const fs::path& gone : {slower, tie}) {
        EXPECT_FALSE(fs::exists(gone)) << gone;
    }
}

// The bytes reach the file once a second and at each respawn, whole records only: a run killed
// now plays up to there. The finish is written at once.
TEST(ReplayRecorderTest, WhatAKillLeavesIsTheRunUpToTheLastSecond) {
    TempDataRoot data;
    const fs::path path = ReplayLibrary::folder() / "run.vreplay";
    auto recorder = ReplayRecorder::create(path, headerOf("one", 5));
    ASSERT_TRUE(recorder);
    EXPECT_FALSE(ReplayRecorder::create(path, headerOf("one", 5))) << "never over another run";
    const auto onDisk = [&] { return ReplayFormat::parse(PlayerFiles::read(path).value_or("")).replay; };
    for (int step = 0; step < 150; ++step) {
        recorder->step({1, 0.0f}, {0.0f, static_cast<float>(step), 0.0f}, {});
    }
    ASSERT_TRUE(onDisk());
    EXPECT_EQ(onDisk()->steps.size(), 120u);
    EXPECT_EQ(onDisk()->checks.size(), 2u);
    EXPECT_EQ(onDisk()->checks[1].position.y, 119.0f) << "the ball as it stood at its step";
    recorder->respawn(ReplayRespawn::SnapshotKey);
    EXPECT_EQ(onDisk()->steps.size(), 150u);
    EXPECT_EQ(onDisk()->respawns.at(0).kind, ReplayRespawn::SnapshotKey);
    recorder->finish();
    recorder->step({1, 0.0f}, {}, {});
    EXPECT_EQ(onDisk()->finishStep, 150u);
    EXPECT_EQ(onDisk()->steps.size(), 150u) << "nothing after the finish";
}

TEST(ReplayPlayerTest, GivesTheStepsAndRespawnsInOrderAndLogsTheFirstDriftOnce) {
    LogCapture log;
    ReplayPlayer player(*ReplayFormat::parse(runBytes(headerOf("one", 1), 130, false)).replay);
    int respawns = 0;
    while (!player.atEnd()) {
        if (player.dueRespawn()) {
            EXPECT_EQ(player.stepsPlayed(), 70u);
            player.takeRespawn();
            ++respawns;
            continue;
        }
        const std::optional<ReplayStep> step = player.nextStep();
        ASSERT_TRUE(step);
        const auto at = static_cast<float>(player.stepsPlayed());
        const float off = player.stepsPlayed() >= 120 ? 2e-4f : 5e-5f;
        player.compare({at + off, 1.0f, -2.0f}, {0.5f, 0.0f, 0.25f});
    }
    EXPECT_EQ(respawns, 1);
    EXPECT_EQ(player.stepsPlayed(), 130u);
    EXPECT_FALSE(player.nextStep());
    EXPECT_EQ(player.firstDrift(), 120u) << "within 1e-4 at 60";
    EXPECT_EQ(log.count("Replay drifts at step 120"), 1);
}

TEST(GhostTest, FollowsThePathStepByStepBetweenItsSamples) {
    Ghost ghost({{4, {0.0f, 1.0f, 0.0f}, {}}, {8, {4.0f, 1.0f, -8.0f}, {}}});
    EXPECT_EQ(ghost.positionAt(0.0f).x, 0.0f) << "waits at its first sample";
    EXPECT_EQ(ghost.positionAt(6.0f).x, 2.0f);
    EXPECT_EQ(ghost.positionAt(6.0f).z, -4.0f);
    EXPECT_EQ(ghost.positionAt(100.0f).x, 4.0f) << "stays at its last";
    for (int step = 0; step < 7; ++step) {
        ghost.advance();
    }
    EXPECT_EQ(ghost.positionAt(ghost.stepsTaken()).x, 3.0f);
}

namespace {

// A level in play with the ball driven by a script of controls instead of the keys.
class ReplayRunTest : public GameTest {
protected:
    using BallTrace = std::vector<std::array<float, 3>>;

    BallTrace drive(int steps, Ghost* ghost = nullptr) {
        int step = 0;
        controls.source = [&step] {
            StepControls script;
            script.held.forward = step % 90 < 60;
            script.held.right = step % 40 < 10;
            script.held.jump = step % 120 == 30;
            script.heading = static_cast<float>(step % 360);
            ++step;
            return std::optional<StepControls>(script);
        };
        BallTrace trace;
        for (int i = 0; i < steps; ++i) {
            run(1);
            if (ghost) {
                ghost->advance();
            }
            const PhysicsVec3 at = ball->getActor()->getGlobalPosition();
            trace.push_back({at.x, at.y, at.z});
        }
        return trace;
    }

    // Back to the start as the main menu leaves a level, and into play again.
    void playAgain(bool rebuild) {
        SceneManager* levels = SceneManager::getInstance();
        StateManager::getInstance()->setState(MAIN_MENU);
        scene->stop();
        levels->setCurrentLevel(-1);
        scene->reset();
        levels->setCurrentLevel(0);
        if (rebuild) {
            PhysicsManager::getInstance()->getCurrentScene()->rebuildCaches();
        }
        StateManager::getInstance()->setState(IN_GAME);
    }
};

} // namespace

TEST_F(ReplayRunTest, ALevelPlayedAgainWithTheSameControlsRunsTheSameSteps) {
    play(standardNodes());
    PhysicsManager::getInstance()->getCurrentScene()->rebuildCaches();
    const BallTrace first = drive(240);
    ASSERT_NE(first.front(), first.back()) << "the ball rolled";
    playAgain(true);
    EXPECT_EQ(drive(240), first);
    playAgain(true);
    const std::size_t actors = PhysicsManager::getInstance()->getCurrentScene()->getNbActors();
    Ghost ghost(ReplayFormat::parse(runBytes(headerOf("one", 1), 240, true)).replay->path);
    EXPECT_EQ(drive(240, &ghost), first) << "the ghost touches nothing";
    EXPECT_EQ(PhysicsManager::getInstance()->getCurrentScene()->getNbActors(), actors);
    EXPECT_EQ(ghost.positionAt(ghost.stepsTaken()).x, 240.0f) << "at the end of its path";
}

namespace {

class GhostDrawingTest : public GlTest {};

} // namespace

// Seen from 10 behind its place on the path: a pale translucent ball over what was drawn
// before, the state put back as found.
TEST_F(GhostDrawingTest, ATranslucentBallAtItsPlaceOverTheScene) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(kWidth) / kHeight, 0.5, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 1.0, 10.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0);
    glClearColor(0.1f, 0.1f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Ghost ghost({{0, {-3.0f, 1.0f, 0.0f}, {}}, {8, {3.0f, 1.0f, 0.0f}, {}}});
    for (int step = 0; step < 4; ++step) {
        ghost.advance();
    }
    const GlStateSnapshot before;
    ghost.draw();
    EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
    const FrameCapture frame = FrameCapture::take(kWidth, kHeight);
    frame.save("ghost-middle-of-path");
    const FrameCapture::Pixel centre = frame.at(kWidth / 2, kHeight / 2);
    const FrameCapture::Pixel aside = frame.at(kWidth / 2 + 150, kHeight / 2);
    EXPECT_GT(centre[0], aside[0] + 25) << "the ball at the path's middle";
    EXPECT_GT(centre[2], 110) << "the background shows through";
    EXPECT_LT(centre[0], 200) << "translucent, not solid";
}
