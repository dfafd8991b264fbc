#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/StateManager.h"
#include "core/TimeManager.h"

namespace {

struct FakeClock {
    Milliseconds now = 100000;
    TimeManager::ClockFunction function() {
        return [this] { return now; };
    }
};

void countCall(Timer*, void* userData) {
    ++*static_cast<int*>(userData);
}

} // namespace

class TimeManagerTest : public ::testing::Test {
protected:
    void SetUp() override { StateManager::getInstance()->setState(IN_GAME); }
    void TearDown() override { StateManager::destroy(); }

    FakeClock clock;
    TimeManager time{clock.function()};
};

TEST_F(TimeManagerTest, HitchOfOneHundredMillisecondsRunsSixStepsAndLeavesFourMsLag) {
    time.update();
    clock.now += 100;
    time.update();
    EXPECT_EQ(time.stepCount, 6);
    EXPECT_EQ(time.now - time.physicsClock, 4);
    EXPECT_EQ(time.frameDelta, 100);
}

TEST_F(TimeManagerTest, SixteenMillisecondsAreNotYetAStep) {
    clock.now += 16;
    time.update();
    EXPECT_EQ(time.stepCount, 0);
    clock.now += 1;
    time.update();
    EXPECT_EQ(time.stepCount, 1);
    EXPECT_EQ(time.now - time.physicsClock, 1);
}

TEST_F(TimeManagerTest, PausedAndMenuStatesAccumulateNoLag) {
    time.paused = true;
    clock.now += 500;
    time.update();
    EXPECT_EQ(time.stepCount, 0);
    EXPECT_EQ(time.physicsClock, time.now);

    time.paused = false;
    for (int state : {MAIN_MENU, LOADING, PAUSED, LEVEL_COMPLETE, GAME_OVER}) {
        StateManager::getInstance()->setState(IN_GAME);
        StateManager::getInstance()->setState(state);
        clock.now += 300;
        time.update();
        EXPECT_EQ(time.stepCount, 0) << "state " << state;
        EXPECT_EQ(time.physicsClock, time.now) << "state " << state;
    }
    StateManager::getInstance()->setState(IN_GAME);
    clock.now += 17;
    time.update();
    EXPECT_EQ(time.stepCount, 1);
}

TEST_F(TimeManagerTest, FramesPerSecondSampledOncePerSecondRoundedUp) {
    clock.now += 1000;
    time.update(); // first sample: no frame counted yet
    EXPECT_TRUE(time.fpsUpdated);
    EXPECT_FLOAT_EQ(time.fps, 0.0f);
    for (int i = 0; i < 2; ++i) {
        clock.now += 499;
        time.update();
        EXPECT_FALSE(time.fpsUpdated);
    }
    clock.now += 2;
    time.update(); // 3 frames in 1000 ms
    EXPECT_TRUE(time.fpsUpdated);
    EXPECT_FLOAT_EQ(time.fps, 3.0f);
    clock.now += 999;
    time.update();
    clock.now += 2;
    time.update(); // 2 frames in 1001 ms: 1.998 rounds up to 2.00
    EXPECT_FLOAT_EQ(time.fps, 2.0f);
}

TEST_F(TimeManagerTest, LateRepeatingTimerFiresOnceAndSkipsMissedPeriods) {
    int calls = 0;
    Timer timer{countCall, &calls, true, true, 100, 100, time.now + 100};
    time.addTimer(&timer);
    clock.now += 100;
    time.update();
    EXPECT_EQ(calls, 0) << "fires only once the due time has passed";
    clock.now += 451; // four and a half periods late
    time.update();
    EXPECT_EQ(calls, 1);
    EXPECT_GE(timer.dueTime, time.now);
    EXPECT_LT(timer.dueTime - time.now, 100);
    time.removeTimer(&timer);
}

TEST_F(TimeManagerTest, OneShotTimerFiresOnceAndStaysListed) {
    int calls = 0;
    Timer timer{countCall, &calls, true, false, 0, 50, time.now + 50};
    time.addTimer(&timer);
    for (int i = 0; i < 3; ++i) {
        clock.now += 60;
        time.update();
    }
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(timer.active);
    EXPECT_EQ(time.timers.size(), 1u);
}

TEST_F(TimeManagerTest, TimerMayRemoveItselfAndOthersFromItsCallback) {
    struct Owner {
        TimeManager* time;
        Timer first, second;
        int secondCalls = 0;
    } owner{&time, {}, {}};
    owner.first = {[](Timer* self, void* data) {
                       auto* o = static_cast<Owner*>(data);
                       o->time->removeTimer(self);
                       o->time->removeTimer(&o->second);
                   },
                   &owner,
                   true,
                   false,
                   0,
                   0,
                   time.now};
    owner.second = {[](Timer*, void* data) { ++static_cast<Owner*>(data)->secondCalls; },
                    &owner,
                    true,
                    false,
                    0,
                    0,
                    time.now};
    time.addTimer(&owner.first);
    time.addTimer(&owner.second);
    clock.now += 1;
    time.update();
    EXPECT_TRUE(time.timers.empty());
    EXPECT_EQ(owner.secondCalls, 0);
}

TEST_F(TimeManagerTest, RemoveKeepsTheOrderOfTheOthers) {
    Timer a, b, c;
    time.addTimer(&a);
    time.addTimer(&b);
    time.addTimer(&c);
    time.removeTimer(&b);
    EXPECT_EQ(time.timers, (std::list<Timer*>{&a, &c}));
}

// A machine up for 24.8 days passes 2^31 ms; steps, timers and the frame rate go on across it.
TEST(TimeManagerWrapTest, ClockPassingTwoToTheThirtyFirstKeepsStepsAndTimers) {
    StateManager::getInstance()->setState(IN_GAME);
    FakeClock clock{(Milliseconds{1} << 31) - 40};
    TimeManager time{clock.function()};
    int calls = 0;
    Timer repeating{countCall, &calls, true, true, 30, 30, time.now + 30};
    time.addTimer(&repeating);
    int oneShotCalls = 0;
    Timer oneShot{countCall, &oneShotCalls, true, false, 0, 3000, time.now + 3000};
    time.addTimer(&oneShot);

    for (int frame = 0; frame < 6; ++frame) {
        clock.now += 17;
        time.update();
        EXPECT_EQ(time.stepCount, 1) << "frame " << frame;
        EXPECT_EQ(time.frameDelta, 17) << "frame " << frame;
        EXPECT_GE(repeating.dueTime, time.now) << "frame " << frame;
    }
    EXPECT_GT(time.now, Milliseconds{1} << 31);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(oneShotCalls, 0) << "a message shown before the boundary stays its 3 s";
    EXPECT_TRUE(oneShot.active);
    clock.now += 3000;
    time.update();
    EXPECT_EQ(oneShotCalls, 1);
    EXPECT_TRUE(time.fpsUpdated);
    EXPECT_GT(time.fps, 0.0f);
    StateManager::destroy();
}

TEST(StateManagerTest, StartsAtExitAndSwitches) {
    StateManager* states = StateManager::getInstance();
    EXPECT_EQ(states->getState(), EXIT);
    states->setState(MAIN_MENU);
    EXPECT_EQ(states->getState(), MAIN_MENU);
    states->setState(MAIN_MENU);
    EXPECT_EQ(states->getState(), MAIN_MENU);
    StateManager::destroy();
}

// Game over and level complete end play; nothing else can end in them.
TEST(StateManagerTest, OnlyPlayEndsInAGameOverOrALevelComplete) {
    StateManager* states = StateManager::getInstance();
    for (const int from : {MAIN_MENU, LOADING, PAUSED, LEVEL_COMPLETE, GAME_OVER}) {
        for (const int end : {GAME_OVER, LEVEL_COMPLETE}) {
            states->setState(IN_GAME);
            states->setState(from);
            states->setState(end);
            EXPECT_EQ(states->getState(), from) << "from " << from << " to " << end;
        }
    }
    for (const int end : {GAME_OVER, LEVEL_COMPLETE}) {
        states->setState(IN_GAME);
        states->setState(end);
        EXPECT_EQ(states->getState(), end);
        states->setState(EXIT);
        EXPECT_EQ(states->getState(), EXIT) << "the window closes in any state";
    }
    StateManager::destroy();
}

// A change asked for by a listener (the main menu's entry ending a level whose
// physics step ends the game) runs after the change under way, never inside it.
TEST(StateManagerTest, AChangeAskedForDuringAChangeWaitsForItsEnd) {
    StateManager* states = StateManager::getInstance();
    states->setState(IN_GAME);
    std::vector<std::string> seen;
    for (const char* name : {"first ", "second "}) {
        states->addListener([&seen, name](int oldState, int newState) {
            seen.push_back(name + std::to_string(oldState) + ">" + std::to_string(newState));
        });
    }
    states->addListener([states](int, int newState) {
        if (newState == PAUSED) {
            states->setState(MAIN_MENU);
            EXPECT_EQ(states->getState(), IN_GAME) << "still the state being left";
        }
    });
    states->setState(PAUSED);
    EXPECT_EQ(seen, (std::vector<std::string>{"first 2>3", "second 2>3", "first 3>0", "second 3>0"}));
    EXPECT_EQ(states->getState(), MAIN_MENU);
    StateManager::destroy();
}
