#pragma once

#include <functional>
#include <optional>

class MainChar;
class OgreScene;

// The continuous controls held in one poll (sticky: a tap between polls counts once).
struct HeldControls {
    bool resetPosition = false;
    bool toggleParticles = false;
    bool refill = false;
    bool forward = false;
    bool left = false;
    bool back = false;
    bool right = false;
    bool brake = false;
    bool jump = false;
    bool boost = false;
    // The gamepad's left stick past its dead zone, -1 to 1: rolling as strong as it is pushed.
    float stickForward = 0.0f;
    float stickRight = 0.0f;
};

// What one physics step drives the ball with.
struct StepControls {
    HeldControls held;
    float heading = 0.0f; // the camera's, in degrees
};

// The ball's controls, read once per physics step from the actions held on the keys
// and mouse buttons of the binding table, and from the gamepad. What must outlast a step (the
// running jump, the one-press latches of the boost and the fire key) is kept here.
class Controls {
public:
    // Reads the controls, keeps the latches and the jump state and, in play,
    // drives the current level's main character with them.
    HeldControls poll();
    // What the held controls do to the main character in one physics step.
    // Rolling torques turn with the camera heading (degrees; 0 looks towards -z),
    // so W always rolls the ball the way the camera looks.
    void drive(MainChar& mainChar, const HeldControls& controls, float cameraHeading);
    // Puts the scene's main character back where the scene file placed it, at rest.
    static void returnToStart(OgreScene& scene);
    // A stick's two axes with the dead zone taken out: nothing inside it, and from its
    // edge the full range again, so a small push still moves a little.
    static void deadZone(float& x, float& y);

    static constexpr float kDeadZone = 0.2f;
    static constexpr float kTriggerPressed = 0.5f;

    // When set, each step's controls come from it instead of the keys and the camera
    // (a replay); none ends them, and the ball is left alone.
    std::function<std::optional<StepControls>()> source;
    // Hears the controls of every step that drives the ball (a recording).
    std::function<void(const StepControls&)> onStep;

    bool particlesLatch = true;
    bool particlesOn = true;
    bool boostLatch = true;
    bool jumping = false;
    float jumpImpulse = 0.0f;

private:
    HeldControls read();
    // Keeps what outlasts a step: the running jump, the boost latch and the fire switch.
    void follow(const HeldControls& controls);
    static void readGamepad(HeldControls& controls);
    void release();
    void driveCurrentMainChar(const StepControls& controls);
    void jump(MainChar& mainChar, const HeldControls& controls, float mass);
    void boost(MainChar& mainChar, const HeldControls& controls, float heading, float mass, float k);
};
