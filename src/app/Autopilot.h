#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FrameTimeHistogram.h"
#include "core/FixedStep.h"
#include "game/Route.h"
#include "platform/Clock.h"

class MainChar;

// Plays the game as a player does, through the window library's input events only: Enter
// through the menus, and in play the mouse turns the camera towards the next waypoint of the
// level's route while W, A, S and D roll the ball, the right button brakes, Space jumps and
// the left button boosts. It reads the game (ball, camera, state) to decide, never changes it.
// Switched on by VORN_AUTOPILOT: "1" finishes the first level and quits at the main menu,
// "fog" rolls into the fog once after the first checkpoint and respawns before finishing,
// "soak" plays the level again and again for VORN_SOAK_MINUTES (default 30), "campaign"
// plays every level in order through "Next level" to the campaign-complete screen and quits.
class Autopilot {
public:
    enum class Mode { Finish, Fog, Soak, Campaign };

    // None when VORN_AUTOPILOT is unset, empty, or "0", "false", "no" or "off".
    static std::unique_ptr<Autopilot> fromEnvironment();
    Autopilot(Mode mode, Milliseconds soakTime, int gameSpeed = 1);

    // Physics steps of game time every frame of this run lasts, so that a run plays the same on a
    // fast or a loaded machine: VORN_GAME_SPEED (default 1). 0 for the soak, which measures real
    // frame times.
    int stepsPerFrame() const { return mode == Mode::Soak ? 0 : gameSpeed; }

    // Once a frame, after the drawing, where the window library delivers its events.
    void frame();

    // Seconds of a full jump (Space held to the end) until the ball is back at `rise` above
    // its take-off height, falling.
    static float flightTime(float rise);
    // Whether a waypoint at `to` is too high above the one at `from` to be rolled or jumped to.
    static bool reachedByBouncing(const Vector3& from, const Vector3& to);

private:
    struct Steering {
        bool forward = false;
        bool left = false;
        bool back = false;
        bool right = false;
        bool brake = false;
    };

    void enterState(int state);
    void startLevel();
    void levelComplete();
    void menu(int state);
    void play();
    bool loadRoute();
    void followRoute(MainChar& ball);
    bool reached(const MainChar& ball, const Vector3& at) const;
    void arrive(MainChar& ball);
    void watchProgress(const Vector3& at);
    void watchSnapshots();
    void watchPickups();
    float speedTowards(std::size_t index, float distance) const;
    float jumpSpeed(std::size_t index) const;
    Vector3 target() const;
    float cruiseSpeed() const;
    float turnAt(std::size_t index) const;
    Vector3 aimPoint(const Vector3& at) const;
    Vector3 boostAim() const;
    bool linedUp(const Vector3& at, const Vector3& velocity) const;
    void takeOff(MainChar& ball, const Vector3& at, const Vector3& velocity);
    void waitForGround();
    bool groundUnder(const Vector3& waypoint) const;
    void steer(const MainChar& ball, const Vector3& velocity, const Vector3& wanted);
    bool bouncingOut() const;
    void pumpBounce();
    void turnCamera(float heading);
    void apply(const Steering& wanted);
    void hold(int key, bool& held, bool down);
    void holdButton(int button, bool& held, bool down);
    void tap(int key);
    void screenshot(const std::string& what);
    void giveUp(const std::string& why);
    void backOff();
    void resumeAfterRespawn(const Vector3& at);
    void endRound();

    Mode mode;
    Milliseconds soakTime;
    int gameSpeed;
    Milliseconds startTime;
    std::optional<Route> route;
    std::string routeScene;
    std::size_t next = 0;
    int state = -1;
    int framesInState = 0;
    int levelsCompleted = 0;
    bool quitting = false;
    // The fog run's one detour off the route: under way, and done.
    bool detouring = false;
    bool detoured = false;
    Vector3 detourGoal;
    std::optional<Vector3> runUp;
    int quitFrames = 0;
    bool playStarted = false;
    int stopsMade = 0;
    // At rest on a `wait` waypoint until there is ground under the next one.
    bool waiting = false;
    // Where the last snapshot respawns the ball.
    std::optional<Vector3> savedAt;
    int snapshotsSeen = 0;
    int pickupsSeen = 0;
    // Physics steps Space is still held for; the jump's impulses last 11 of them.
    int jumpSteps = 0;
    bool boostPressed = false;
    float bestDistance = 0.0f;
    long long stepsWithoutProgress = 0;
    // The waypoint whose jump was tried again, each only once.
    std::size_t retriedAt = static_cast<std::size_t>(-1);
    // Frame time, smoothed.
    float frameSeconds = kStepSeconds;
    double mouseX = 0.0;
    double mouseY = 0.0;
    std::vector<int> pendingReleases;
    Steering held;
    bool jumpHeld = false;
    bool boostHeld = false;
    // Rounds of the soak: their start, resident memory and frame times.
    int round = 0;
    long roundStartMemory = 0;
    FrameTimeHistogram roundFrames;
};
