#pragma once

#include <utility>
#include <vector>

class Settings;

// What the player's settings do to the running game: the main configuration's values,
// the window, vsync, the lighting program, the camera's mouse look and the volumes.
namespace SettingsEffects {

// Reads the settings file over the main configuration's values and lets them answer
// for its keys; before the window opens, so it opens as the player left it.
void load();
// Applies `settings` to every part of the game that exists by now.
void apply(const Settings& settings);
// Hands the options menu what it needs from the game.
void install();
// The window sizes to offer: the monitor's modes in full screen; in a window, the usual
// sizes up to the monitor's largest.
std::vector<std::pair<int, int>> windowSizes(bool fullscreen);

} // namespace SettingsEffects
