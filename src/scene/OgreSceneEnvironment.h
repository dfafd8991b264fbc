#pragma once

// The colours of a scene's environment element; 0 where the file gives none.
struct OgreSceneEnvironment {
    float ambientR = 0.0f;
    float ambientG = 0.0f;
    float ambientB = 0.0f;
    float backgroundR = 0.0f;
    float backgroundG = 0.0f;
    float backgroundB = 0.0f;
};
