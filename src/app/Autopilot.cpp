#include "app/Autopilot.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "app/RunFigures.h"
#include "core/FixedStep.h"
#include "core/GameState.h"
#include "core/Log.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "game/MainCharSaveData.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"
#include "ui/Campaign.h"
#include "ui/LevelLink.h"

VORN_FILE_LOGGER("Autopilot")

namespace {

// Frames a menu is shown before the autopilot acts on it, so that it is drawn and seen.
constexpr int kSettleFrames = 4;
constexpr float kCruiseSpeed = 11.0f;
constexpr float kSlowestCruise = 6.0f;
// Metres the ball may roll between two looks of the autopilot: slow frames roll slower.
constexpr float kStride = 0.45f;
constexpr float kCornerSpeed = 2.5f;
constexpr float kStraightOn = 0.85f;
constexpr float kBraking = 6.0f;
constexpr float kGravity = 19.62f;
constexpr int kJumpHoldSteps = 12;
constexpr float kBoostCost = 0.2f;
constexpr float kDegreesPerPixel = 0.5f;
constexpr long long kStuckSteps = 60 * 25;
constexpr float kDetourDistance = 20.0f;
// A take-off whose velocity is this close to the one that lands on the next waypoint jumps.
constexpr float kLandingTolerance = 0.7f;
// How far past its take-off waypoint the ball may roll before it has to jump.
constexpr float kTakeOffRunway = 1.5f;
constexpr float kRiserRunway = 0.3f;
// How far before a riser's take-off a failed or late jump starts again.
constexpr float kRunUp = 1.0f;
constexpr float kBrakingMargin = 1.0f;
// Cosine of the largest angle between the ball's way and the boost's aim.
constexpr float kLinedUp = 0.998f;
constexpr float kKeyThreshold = 0.4f;
// A full jump lifts the ball about 5.9 units; a waypoint higher than this above the one before,
// and steeper than a ramp the ball rolls up, is reached only by bouncing out of a pit.
constexpr float kJumpClimb = 4.0f;
constexpr float kSteepestRamp = 0.5f;
constexpr float kLookAhead = 3.0f;

Vector3 flat(const Vector3& v) {
    return {v.x, 0.0f, v.z};
}

Vector3 toVector(const PhysicsVec3& v) {
    return {v.x, v.y, v.z};
}

float wrapDegrees(float degrees) {
    return std::remainder(degrees, 360.0f);
}

std::string describe(const Vector3& v) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.1f, %.1f, %.1f)", double(v.x), double(v.y), double(v.z));
    return text;
}

// Resident memory of this process in kilobytes.
long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

StateManager& states() {
    return *StateManager::getInstance();
}

// The words a switch is turned off with in the shell, in any case.
bool switchedOff(std::string setting) {
    std::transform(setting.begin(), setting.end(), setting.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return setting.empty() || setting == "0" || setting == "false" || setting == "no" || setting == "off";
}

} // namespace

std::unique_ptr<Autopilot> Autopilot::fromEnvironment() {
    const char* setting = std::getenv("VORN_AUTOPILOT");
    if (!setting || switchedOff(setting)) {
        return nullptr;
    }
    const std::string mode = setting;
    const char* minutes = std::getenv("VORN_SOAK_MINUTES");
    const Milliseconds soakTime = static_cast<Milliseconds>((minutes ? std::atof(minutes) : 30.0) * 60000.0);
    const char* speed = std::getenv("VORN_GAME_SPEED");
    const int gameSpeed = std::clamp(speed ? std::atoi(speed) : 1, 1, 100);
    LOG_INFO("Autopilot on: " << mode);
    if (mode == "fog") {
        return std::make_unique<Autopilot>(Mode::Fog, 0, gameSpeed);
    }
    if (mode == "soak") {
        return std::make_unique<Autopilot>(Mode::Soak, soakTime);
    }
    if (mode == "campaign") {
        return std::make_unique<Autopilot>(Mode::Campaign, 0, gameSpeed);
    }
    return std::make_unique<Autopilot>(Mode::Finish, 0, gameSpeed);
}

Autopilot::Autopilot(Mode mode, Milliseconds soakTime, int gameSpeed)
    : mode(mode), soakTime(soakTime), gameSpeed(gameSpeed), startTime(Clock::milliseconds()) {}

float Autopilot::flightTime(float rise) {
    float velocity = 0.0f;
    float height = 0.0f;
    int step = 0;
    for (; step < 600; ++step) {
        if (step < 11) {
            velocity += step == 0 ? 3.5000002f : 1.1666667f;
        }
        velocity -= kGravity * kStepSeconds;
        height += velocity * kStepSeconds;
        if (velocity < 0.0f && height <= rise) {
            break;
        }
    }
    return static_cast<float>(step + 1) * kStepSeconds;
}

void Autopilot::frame() {
    for (int key : pendingReleases) {
        Glfw::deliverKey(key, GLFW_RELEASE);
    }
    pendingReleases.clear();
    const int now = states().getState();
    if (now != state) {
        enterState(now);
    }
    ++framesInState;
    const Milliseconds delta = TimeManager::getInstance()->frameDelta;
    roundFrames.add(delta);
    frameSeconds +=
        (std::clamp(static_cast<float>(delta) / 1000.0f, kStepSeconds, 0.25f) - frameSeconds) * 0.1f;
    if (now == IN_GAME) {
        play();
    } else {
        menu(now);
    }
}

void Autopilot::enterState(int newState) {
    apply(Steering{});
    hold(GLFW_KEY_SPACE, jumpHeld, false);
    holdButton(GLFW_MOUSE_BUTTON_LEFT, boostHeld, false);
    jumpSteps = 0;
    boostPressed = false;
    if (newState == LEVEL_COMPLETE) {
        ++levelsCompleted;
        LOG_INFO("Autopilot: level complete");
    }
    // The loading screen may come and go between two looks: play entered from any menu but the
    // pause and game-over menus starts a level.
    if (newState == IN_GAME && state != PAUSED && state != GAME_OVER) {
        startLevel();
    }
    if (newState == GAME_OVER && route) {
        MainChar* ball = MainChar::current();
        LOG_INFO("Autopilot: game over on the way to waypoint "
                 << next << " " << describe(target()) << ", the ball at "
                 << (ball ? describe(toVector(ball->getActor()->getGlobalPosition())) : "nowhere"));
    }
    state = newState;
    framesInState = 0;
}

void Autopilot::menu(int menuState) {
    const bool settled = framesInState == kSettleFrames;
    const bool act = framesInState == 2 * kSettleFrames;
    switch (menuState) {
    case MAIN_MENU:
        if (settled && round == 0 && levelsCompleted == 0) {
            screenshot("main menu");
        }
        if (!act) {
            break;
        }
        if (quitting ||
            (levelsCompleted > 0 && (mode != Mode::Soak || Clock::milliseconds() - startTime >= soakTime))) {
            tap(GLFW_KEY_ESCAPE);
        } else {
            ++round;
            roundStartMemory = residentKilobytes();
            roundFrames.clear();
            LOG_INFO("Autopilot: new game");
            tap(GLFW_KEY_ENTER);
        }
        break;
    case PAUSED:
        if (settled && quitting) {
            tap(GLFW_KEY_DOWN);
        } else if (act) {
            tap(GLFW_KEY_ENTER);
        }
        break;
    case LEVEL_COMPLETE:
        if (settled && round == 1) {
            screenshot("level complete");
        } else if (act) {
            levelComplete();
        }
        break;
    case GAME_OVER:
        if (settled && round == 1) {
            screenshot("game over");
        } else if (act) {
            tap(quitting ? GLFW_KEY_ESCAPE : GLFW_KEY_ENTER);
            if (MainChar* ball = MainChar::current(); ball && route && states().getState() == IN_GAME) {
                resumeAfterRespawn(toVector(ball->getActor()->getGlobalPosition()));
                LOG_INFO("Autopilot: respawned at "
                         << describe(toVector(ball->getActor()->getGlobalPosition())) << " with energy "
                         << ball->energy);
            }
        }
        break;
    default:
        break;
    }
}

// Every level is played from its own route's start; the soak's later rounds take no pictures.
void Autopilot::startLevel() {
    route.reset();
    next = 0;
    runUp.reset();
    waiting = false;
    stopsMade = 0;
    savedAt.reset();
    retriedAt = static_cast<std::size_t>(-1);
    playStarted = mode != Mode::Campaign && round > 1;
    const Campaign* campaign = Campaign::getInstance();
    LOG_INFO("Autopilot: playing level " << campaign->level() + 1 << " '"
                                         << LevelLink::get().levelName(campaign->level()) << "'");
}

// The campaign takes the first item, the next level (after the last one the main menu);
// the other runs play one level and go back to the main menu, the second item.
void Autopilot::levelComplete() {
    endRound();
    const bool more = Campaign::getInstance()->hasNextLevel();
    if (mode == Mode::Campaign && !more) {
        LOG_INFO("Autopilot: campaign complete after " << levelsCompleted << " levels");
        quitting = true;
    }
    if (mode != Mode::Campaign && more) {
        tap(GLFW_KEY_DOWN);
    }
    tap(GLFW_KEY_ENTER);
}

void Autopilot::endRound() {
    if (mode != Mode::Soak) {
        return;
    }
    LOG_INFO("Soak round " << round << ": resident memory " << roundStartMemory << " kB at its start, "
                           << residentKilobytes() << " kB at its end; frame time p50 "
                           << roundFrames.percentile(0.5) << " ms, p99 " << roundFrames.percentile(0.99)
                           << " ms");
}

void Autopilot::play() {
    MainChar* ball = MainChar::current();
    if (!ball || !ball->getActor()) {
        return;
    }
    if (quitting) {
        if (++quitFrames == kSettleFrames) {
            tap(GLFW_KEY_ESCAPE);
        }
        return;
    }
    if (!route && !loadRoute()) {
        return;
    }
    if (!playStarted && framesInState == kSettleFrames) {
        playStarted = true;
        screenshot("start of play");
    }
    const int steps = TimeManager::getInstance()->stepCount;
    if (jumpSteps > 0 && (jumpSteps -= steps) <= 0) {
        hold(GLFW_KEY_SPACE, jumpHeld, false);
    }
    if (boostPressed) {
        holdButton(GLFW_MOUSE_BUTTON_LEFT, boostHeld, false);
        boostPressed = false;
    }
    watchSnapshots();
    watchPickups();
    followRoute(*ball);
}

bool Autopilot::loadRoute() {
    OgreScene* level = SceneManager::getInstance()->getCurrentScene();
    if (!level) {
        return false;
    }
    route = Route::forScene(level->getPath());
    if (!route) {
        giveUp("the level has no route");
        return false;
    }
    LOG_INFO("Autopilot: following " << route->waypoints.size() << " waypoints");
    bestDistance = 1e9f;
    return true;
}

void Autopilot::followRoute(MainChar& ball) {
    const Vector3 at = toVector(ball.getActor()->getGlobalPosition());
    const Vector3 velocity = toVector(ball.getActor()->getLinearVelocity());
    watchProgress(at);
    if (quitting) {
        return;
    }
    if (waiting) {
        waitForGround();
        return;
    }
    if (runUp) {
        if (flat(*runUp - at).length() < 0.7f) {
            runUp.reset();
        }
        const float back = std::min(kCornerSpeed, std::sqrt(2.0f * kBraking * flat(target() - at).length()));
        steer(ball, velocity, flat(target() - at).normalized() * back);
        return;
    }
    if (!detouring && next < route->waypoints.size() && reached(ball, at)) {
        if (route->waypoints[next].action == Waypoint::Action::Jump) {
            takeOff(ball, at, velocity);
            return;
        }
        if (route->waypoints[next].action == Waypoint::Action::Boost && !linedUp(at, velocity)) {
            steer(ball, velocity, flat(boostAim() - at).normalized() * cruiseSpeed());
            return;
        }
        arrive(ball);
    }
    const std::size_t last = route->waypoints.size() - 1;
    const Vector3 goal = target();
    const float distance = flat(goal - at).length();
    const float speed = detouring ? cruiseSpeed() : speedTowards(std::min(next, last), distance);
    steer(ball, velocity, flat(aimPoint(at) - at).normalized() * speed);
}

// The cosine of the turn the route makes at waypoint `index`; 1 where it goes straight on.
float Autopilot::turnAt(std::size_t index) const {
    const std::vector<Waypoint>& points = route->waypoints;
    if (index == 0 || index + 1 >= points.size()) {
        return 1.0f;
    }
    const Vector3 in = flat(points[index].position - points[index - 1].position).normalized();
    const Vector3 out = flat(points[index + 1].position - points[index].position).normalized();
    return in.dot(out);
}

float Autopilot::cruiseSpeed() const {
    return std::clamp(kStride / frameSeconds, kSlowestCruise, kCruiseSpeed);
}

// A point a little ahead on the line from the last waypoint to the next: the ball keeps to
// the line (narrow planks) instead of only heading for the waypoint.
Vector3 Autopilot::aimPoint(const Vector3& at) const {
    const Vector3 goal = target();
    if (detouring || next == 0 || next >= route->waypoints.size()) {
        return goal;
    }
    const Vector3 from = route->waypoints[next - 1].position;
    const Vector3 line = flat(goal - from);
    const float length = line.length();
    const Vector3 along = line.normalized();
    const float progress = std::clamp(flat(at - from).dot(along) + kLookAhead, 0.0f, length);
    return from + along * progress;
}

// The boost pushes the way the camera looks: towards where the route goes after it, the landing
// of the jump that follows.
Vector3 Autopilot::boostAim() const {
    const std::vector<Waypoint>& points = route->waypoints;
    const std::size_t after =
        next + 1 < points.size() && points[next + 1].action == Waypoint::Action::Jump ? next + 2 : next + 1;
    return points[std::min(after, points.size() - 1)].position;
}

// Lined up once the ball rolls and the camera looks at the aim, or when it is too late to wait.
bool Autopilot::linedUp(const Vector3& at, const Vector3& velocity) const {
    const Vector3 aim = flat(boostAim() - at).normalized();
    const float heading = Camera::getInstance()->getHeading() * std::numbers::pi_v<float> / 180.0f;
    const Vector3 looking{std::sin(heading), 0.0f, -std::cos(heading)};
    const bool rolling = flat(velocity).normalized().dot(aim) > kLinedUp;
    const Vector3 from = route->waypoints[next].position;
    const bool late =
        next + 1 < route->waypoints.size() &&
        flat(at - from).dot(flat(route->waypoints[next + 1].position - from).normalized()) > 1.5f;
    return (rolling && looking.dot(aim) > kLinedUp) || late;
}

// On the take-off ground the ball rolls at the velocity that lands it on the next waypoint and
// jumps once it does, or before it runs out of ground.
void Autopilot::takeOff(MainChar& ball, const Vector3& at, const Vector3& velocity) {
    if (next + 1 >= route->waypoints.size()) {
        arrive(ball);
        return;
    }
    const Vector3 from = route->waypoints[next].position;
    const Vector3 to = route->waypoints[next + 1].position;
    // Space pressed now lifts the ball in the next frame, a frame's roll further on.
    const Vector3 launch = at + flat(velocity) * frameSeconds;
    const Vector3 wanted = flat(to - launch) / flightTime(to.y - at.y);
    const Vector3 along = flat(to - from).normalized();
    const bool onCourse = (flat(velocity) - wanted).length() < kLandingTolerance;
    // Slow frames see the ground go by in long strides: jump when the next frame would be too late.
    // Before a riser the jump must rise in time: little runway then.
    const float runway = to.y - from.y > 1.5f ? kRiserRunway : kTakeOffRunway;
    const float beyond = flat(launch - from).dot(along);
    const bool edge = beyond > runway;
    if (runway == kRiserRunway && beyond > runway + kRunUp && retriedAt != next + 1) {
        retriedAt = next + 1;
        backOff();
        return;
    }
    if (ball.onGround && (onCourse || edge)) {
        arrive(ball);
    }
    steer(ball, velocity, wanted);
}

// Held still by the brake, on the bank or on a platform that carries the ball along.
void Autopilot::waitForGround() {
    Steering keys;
    keys.brake = true;
    apply(keys);
    bestDistance = 1e9f;
    stepsWithoutProgress = 0;
    if (next + 1 >= route->waypoints.size() || groundUnder(route->waypoints[next + 1].position)) {
        waiting = false;
        ++next;
    }
}

// Whether something stands under a waypoint where the ball's underside would touch it.
bool Autopilot::groundUnder(const Vector3& waypoint) const {
    const OgreScene* level = SceneManager::getInstance()->getCurrentScene();
    return level &&
           level->segmentBlocked(waypoint - Vector3{0.0f, 0.8f, 0.0f}, waypoint - Vector3{0.0f, 1.4f, 0.0f});
}

// Rolls back to just before the take-off of waypoint `next`, to run at its jump again.
void Autopilot::backOff() {
    const Vector3 from = route->waypoints[next].position;
    const Vector3 along = flat(route->waypoints[next + 1].position - from).normalized();
    runUp = from - along * kRunUp;
    LOG_INFO("Autopilot: back to the take-off of waypoint " << next);
    bestDistance = 1e9f;
    stepsWithoutProgress = 0;
}

Vector3 Autopilot::target() const {
    if (detouring) {
        return detourGoal;
    }
    if (runUp) {
        return *runUp;
    }
    return route->waypoints[std::min(next, route->waypoints.size() - 1)].position;
}

bool Autopilot::reached(const MainChar& ball, const Vector3& at) const {
    const Waypoint& waypoint = route->waypoints[next];
    const Vector3 offset = flat(at - waypoint.position);
    const float distance = offset.length();
    if (at.y < waypoint.position.y - 3.0f) {
        return false;
    }
    if (waypoint.action == Waypoint::Action::Stop) {
        return distance < 2.0f || (ball.onCheckPoint && distance < 3.5f);
    }
    if (waypoint.action == Waypoint::Action::Wait) {
        return distance < 2.0f;
    }
    const bool corner = waypoint.action == Waypoint::Action::Roll && turnAt(next) < kStraightOn;
    if (distance < (waypoint.action == Waypoint::Action::Roll && !corner ? 2.5f : 1.2f)) {
        return true;
    }
    if (next == 0) {
        return false;
    }
    const Vector3 along = flat(waypoint.position - route->waypoints[next - 1].position).normalized();
    const float beyond = offset.dot(along);
    const float aside = (offset - along * beyond).length();
    return beyond > 0.0f && aside < 3.0f;
}

void Autopilot::arrive(MainChar& ball) {
    const Waypoint& waypoint = route->waypoints[next];
    const float speed = flat(toVector(ball.getActor()->getLinearVelocity())).length();
    LOG_DEBUG("Autopilot: at waypoint " << next << " " << describe(waypoint.position) << ", the ball at "
                                        << describe(toVector(ball.getActor()->getGlobalPosition()))
                                        << " rolling at " << speed
                                        << (ball.onGround ? " on the ground" : ""));
    switch (waypoint.action) {
    case Waypoint::Action::Roll:
        ++next;
        break;
    case Waypoint::Action::Jump:
        if (ball.onGround) {
            hold(GLFW_KEY_SPACE, jumpHeld, true);
            jumpSteps = kJumpHoldSteps;
            ++next;
        }
        break;
    case Waypoint::Action::Boost:
        if (ball.turboLevel >= kBoostCost) {
            holdButton(GLFW_MOUSE_BUTTON_RIGHT, held.brake, false);
            holdButton(GLFW_MOUSE_BUTTON_LEFT, boostHeld, true);
            boostPressed = true;
        } else {
            LOG_INFO("Autopilot: no turbo to boost with at waypoint " << next);
        }
        ++next;
        break;
    case Waypoint::Action::Wait:
        if (speed < 2.5f) {
            LOG_INFO("Autopilot: waiting at waypoint " << next << " for ground under the next");
            waiting = true;
        }
        break;
    case Waypoint::Action::Stop:
        if (speed > 2.5f) {
            break;
        }
        ++next;
        if (++stopsMade == 1 && (round == 1 || mode == Mode::Campaign)) {
            screenshot("checkpoint");
        }
        if (mode == Mode::Fog && stopsMade == 1 && !detoured) {
            detouring = true;
            detourGoal = waypoint.position + Vector3{kDetourDistance, 0.0f, 0.0f};
            LOG_INFO("Autopilot: leaving the route towards the fog at " << describe(detourGoal));
        }
        break;
    }
    bestDistance = 1e9f;
    stepsWithoutProgress = 0;
}

void Autopilot::watchProgress(const Vector3& at) {
    const float distance = flat(target() - at).length();
    if (distance < bestDistance - 1.0f) {
        bestDistance = distance;
        stepsWithoutProgress = 0;
        return;
    }
    stepsWithoutProgress += TimeManager::getInstance()->stepCount;
    // A jump that fell short leaves the ball below its landing: back to the take-off once.
    if (stepsWithoutProgress > kStuckSteps / 3 && retriedAt != next && next > 0 &&
        route->waypoints[next - 1].action == Waypoint::Action::Jump) {
        retriedAt = next;
        --next;
        backOff();
        return;
    }
    // A checkpoint that saved the ball short of its stop has been reached all the same.
    if (stepsWithoutProgress > kStuckSteps && next < route->waypoints.size() &&
        route->waypoints[next].action == Waypoint::Action::Stop && savedAt &&
        flat(*savedAt - target()).length() < 1.0f) {
        LOG_INFO("Autopilot: the checkpoint of waypoint " << next << " saved, going on from short of it");
        ++next;
        ++stopsMade;
        bestDistance = 1e9f;
        stepsWithoutProgress = 0;
        return;
    }
    if (stepsWithoutProgress > kStuckSteps) {
        giveUp("stuck at waypoint " + std::to_string(next) + " " + describe(target()) + ", the ball at " +
               describe(at));
    }
}

void Autopilot::watchSnapshots() {
    const SaveStateManager* saves = SaveStateManager::existingInstance();
    if (!saves || saves->getCreatedCount() == snapshotsSeen) {
        return;
    }
    snapshotsSeen = saves->getCreatedCount();
    const SaveState* snapshot = saves->getCurrent();
    if (!snapshot) {
        return; // taken and dropped by a new game since the last look
    }
    for (const auto& [name, record] : snapshot->records) {
        if (const auto* ball = dynamic_cast<const MainCharSaveData*>(record.get())) {
            const Vector3 at{ball->modelMatrix.at(0, 3), ball->modelMatrix.at(1, 3),
                             ball->modelMatrix.at(2, 3)};
            LOG_INFO("Autopilot: snapshot " << snapshotsSeen << " respawns at " << describe(at)
                                            << " with energy " << ball->energy);
            savedAt = at;
        }
    }
}

void Autopilot::watchPickups() {
    const int count = RunFigures::get().getPickups();
    if (count != pickupsSeen) {
        pickupsSeen = count;
        LOG_INFO("Autopilot: item picked up, " << count << " so far");
    }
}

float Autopilot::jumpSpeed(std::size_t index) const {
    const std::vector<Waypoint>& points = route->waypoints;
    if (index + 1 >= points.size()) {
        return cruiseSpeed();
    }
    const Vector3 from = points[index].position;
    const Vector3 to = points[index + 1].position;
    return std::clamp(flat(to - from).length() / flightTime(to.y - from.y), 2.0f, 30.0f);
}

// The speed to roll at `distance` before waypoint `index`, so that it is passed at the speed it asks for.
float Autopilot::speedTowards(std::size_t index, float distance) const {
    const std::vector<Waypoint>& points = route->waypoints;
    const float cruise = cruiseSpeed();
    float arrival = cruise;
    switch (points[index].action) {
    case Waypoint::Action::Jump:
        return jumpSpeed(index);
    case Waypoint::Action::Stop:
    case Waypoint::Action::Wait:
        arrival = 0.0f;
        break;
    case Waypoint::Action::Roll: {
        // Sharper turns are taken slower: a right angle at walking pace.
        const float straight = std::max(turnAt(index), 0.0f);
        arrival = std::max(kCornerSpeed, cruise * straight * straight);
        break;
    }
    case Waypoint::Action::Boost:
        break;
    }
    return std::min(cruise, std::sqrt(arrival * arrival + 2.0f * kBraking * distance));
}

// The camera looks the way the ball should roll; the keys push its velocity towards the wanted one.
// In the air the keys would only spin the ball, which then shoots off where it lands.
void Autopilot::steer(const MainChar& ball, const Vector3& velocity, const Vector3& wanted) {
    const float speed = wanted.length();
    const Vector3 direction = wanted.normalized();
    if (speed > 0.1f) {
        turnCamera(std::atan2(direction.x, -direction.z) * 180.0f / std::numbers::pi_v<float>);
    }
    const Vector3 moving = flat(velocity);
    const Vector3 error = wanted - moving;
    const float heading = Camera::getInstance()->getHeading() * std::numbers::pi_v<float> / 180.0f;
    const Vector3 forward{std::sin(heading), 0.0f, -std::cos(heading)};
    const Vector3 rightward{std::cos(heading), 0.0f, std::sin(heading)};
    const float ahead = error.dot(forward);
    const float aside = error.dot(rightward);
    Steering keys;
    pumpBounce();
    if (!ball.onGround && !bouncingOut()) {
        apply(keys);
        return;
    }
    if (!boostPressed && jumpSteps <= 0 && moving.dot(direction) > speed + kBrakingMargin) {
        keys.brake = true;
    } else {
        keys.forward = ahead > kKeyThreshold;
        keys.back = ahead < -kKeyThreshold;
        keys.right = aside > kKeyThreshold;
        keys.left = aside < -kKeyThreshold;
    }
    apply(keys);
}

// Bouncing out of a pit the keys spin the ball in the air, and the spin drives it on at the next
// bounce: the ball touches the pad too briefly to be steered there.
bool Autopilot::bouncingOut() const {
    return next > 0 &&
           reachedByBouncing(route->waypoints[next - 1].position, route->waypoints[next].position);
}

bool Autopilot::reachedByBouncing(const Vector3& from, const Vector3& to) {
    const Vector3 way = to - from;
    return way.y > kJumpClimb && way.y > kSteepestRamp * flat(way).length();
}

// Space held on a pad jumps again at every bounce: each bounce rises higher than the last, and a
// ball whose bounce has died down in a pit gets out all the same.
void Autopilot::pumpBounce() {
    if (bouncingOut()) {
        hold(GLFW_KEY_SPACE, jumpHeld, true);
    } else if (jumpSteps <= 0) {
        hold(GLFW_KEY_SPACE, jumpHeld, false);
    }
}

void Autopilot::turnCamera(float heading) {
    Camera* camera = Camera::getInstance();
    const float pending = camera->yawTarget - camera->currentYaw;
    const float turn = wrapDegrees(heading - camera->getHeading() - pending);
    if (std::fabs(turn) < kDegreesPerPixel) {
        return;
    }
    mouseX += turn / kDegreesPerPixel;
    Glfw::deliverCursorPos(mouseX, mouseY);
}

void Autopilot::apply(const Steering& wanted) {
    hold(GLFW_KEY_W, held.forward, wanted.forward);
    hold(GLFW_KEY_A, held.left, wanted.left);
    hold(GLFW_KEY_S, held.back, wanted.back);
    hold(GLFW_KEY_D, held.right, wanted.right);
    holdButton(GLFW_MOUSE_BUTTON_RIGHT, held.brake, wanted.brake);
}

void Autopilot::hold(int key, bool& isHeld, bool down) {
    if (isHeld != down) {
        Glfw::deliverKey(key, down ? GLFW_PRESS : GLFW_RELEASE);
        isHeld = down;
    }
}

void Autopilot::holdButton(int button, bool& isHeld, bool down) {
    if (isHeld != down) {
        Glfw::deliverMouseButton(button, down ? GLFW_PRESS : GLFW_RELEASE);
        isHeld = down;
    }
}

void Autopilot::tap(int key) {
    Glfw::deliverKey(key, GLFW_PRESS);
    pendingReleases.push_back(key);
}

void Autopilot::screenshot(const std::string& what) {
    LOG_INFO("Autopilot: screenshot of the " << what);
    tap(GLFW_KEY_1);
}

void Autopilot::giveUp(const std::string& why) {
    LOG_ERROR("Autopilot cannot go on: " << why);
    screenshot("moment it gave up");
    quitting = true;
    quitFrames = 0;
}

void Autopilot::resumeAfterRespawn(const Vector3& at) {
    std::size_t nearest = 0;
    float best = 1e9f;
    for (std::size_t i = 0; i < route->waypoints.size(); ++i) {
        const Waypoint& waypoint = route->waypoints[i];
        const float distance = flat(waypoint.position - at).length();
        if (waypoint.action == Waypoint::Action::Stop && distance < best) {
            best = distance;
            nearest = i;
        }
    }
    next = nearest + 1;
    runUp.reset();
    waiting = false;
    if (detouring) {
        detouring = false;
        detoured = true;
    }
    bestDistance = 1e9f;
    stepsWithoutProgress = 0;
}
