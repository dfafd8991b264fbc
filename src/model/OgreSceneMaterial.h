#pragma once

#include <string>

// One material of a level's material file. Each colour block counts only when
// its flag is set; models point their submeshes at these records.
struct OgreSceneMaterial {
    struct Colour {
        bool present = false;
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 0.0f;
    };

    Colour ambient;
    Colour diffuse;
    Colour specular;
    float shininess = 0.0f;
    Colour emissive;
    bool hasTexture = false;
    std::string texture;
};
