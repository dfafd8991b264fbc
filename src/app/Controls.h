#pragma once

#include "app/Window.h"

class MainChar;
class OgreScene;

// What the continuous controls do to the main character in one physics step.
// Rolling torques turn with the camera heading (degrees; 0 looks towards -z),
// so W always rolls the ball the way the camera looks.
void driveMainChar(MainChar& mainChar, const HeldControls& controls, float cameraHeading);

// Puts the scene's main character back where the scene file placed it, at rest.
void returnToStart(OgreScene& scene);
