#pragma once

// The one fixed step of the game: physics, controls, energy, sound velocities and
// animations all advance by it, 60 times per second of game time.
inline constexpr float kStepSeconds = 1.0f / 60.0f;
